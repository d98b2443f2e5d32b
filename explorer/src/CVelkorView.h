#pragma once
// The device explorer's file list: the root's entries, the drives, the terminal, folders and
// files, and the row operations the file jobs use.
#include "CFileListView.h"

class QTreeWidgetItem;
class CVelkorApp;
class CLeftView;

class CVelkorView : public CFileListView {
    Q_OBJECT
  public:
    explicit CVelkorView(CVelkorApp* app, QWidget* parent = nullptr);

    void FillRoot();
    void FillComputer();
    void FillDevices();
    void FillFolder(QTreeWidgetItem* item);
    // Appends the current folder's files: the terminal's through the listing dialog.
    void RefreshFiles();

    QString TypeTextForImage(int image) const;

  private:
    CVelkorApp* m_app;
};
