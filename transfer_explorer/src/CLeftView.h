#pragma once
// The transfer explorer's folder tree: its labels and the file list's refill on each
// selection. The device item never has children.
#include "CFolderTree.h"

class CTallowApp;
class CTallowView;

class CLeftView : public CFolderTree {
    Q_OBJECT
  public:
    explicit CLeftView(CTallowApp* app, QWidget* parent = nullptr);

    void SetListView(CTallowView* view) { m_listView = view; }
    static Labels TreeLabels();
    // Builds the tree from scratch; the device item only while the connected flag is set.
    // Nothing is selected afterwards.
    void BuildTree();
    // Makes item current and selected; the file list follows, also when it already was.
    void SelectFolder(QTreeWidgetItem* item) override;

  signals:
    void folderChanged();

  private:
    void OnFolderSelected(QTreeWidgetItem* item);

    CTallowApp* m_app;
    CTallowView* m_listView = nullptr;
};
