#pragma once
// The device explorer's folder tree: its labels, and the file list's refill on selection.
#include "CFolderTree.h"

class CVelkorApp;
class CVelkorView;

class CLeftView : public CFolderTree {
    Q_OBJECT
  public:
    explicit CLeftView(CVelkorApp* app, QWidget* parent = nullptr);

    void SetListView(CVelkorView* view) { m_listView = view; }
    // Builds the tree from scratch; the device item only while connected.
    void BuildTree();
    // Makes item current and selected; the file list follows.
    void SelectFolder(QTreeWidgetItem* item) override;
    Labels EditionLabels() const;

  private:
    void OnFolderSelected(QTreeWidgetItem* item);

    CVelkorApp* m_app;
    CVelkorView* m_listView = nullptr;
};
