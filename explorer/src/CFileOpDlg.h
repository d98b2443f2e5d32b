#pragma once
// The device explorer's file-operation dialog: runs one delete or paste job on its worker,
// with the device explorer's texts and rules. The frame fills in the members and runs it.
#include <QStringList>
#include <mutex>

#include "CFileJobDialog.h"

class CLeftView;
class CVelkorView;

class CFileOpDlg : public CFileJobDialog {
    Q_OBJECT
  public:
    enum Operation { kDelete = 0, kPaste = 1 };
    // Called once per file the paste wrote at the top level, on the user-interface thread
    // while the worker waits (a sent message). destIsPc 0: record is a ZOT_FIND_DATA of the
    // new terminal file; 1: a QFileInfo of the new PC file. The result is ignored.
    using RowCallback = int (*)(int destIsPc, const void* record, void* context);

    explicit CFileOpDlg(QWidget* parent = nullptr);

    int m_nOperation = -1;
    QString m_strTitle;
    const QStringList* m_pSources = nullptr;  // borrowed for the run
    int m_nItems = 0;
    CLeftView* m_pFolderView = nullptr;
    CVelkorView* m_pListView = nullptr;
    RowCallback m_pfnRowCallback = nullptr;
    void* m_pCallbackContext = nullptr;
    int m_nResult = 0;
    // True when the delete job works on the tree's folder rather than the list's rows.
    bool m_bTreeActive = false;
    // The library's one-caller rule; held for the whole job. Null: nothing to hold.
    std::mutex* m_pGate = nullptr;

    static QString ErrorText(int code);

  protected:
    void RunJob() override;

  private:
    bool IsFolder(const QString& path, bool onPc, bool aboutToDelete);
    void DeleteJob();
    bool DeleteTree(const QString& folder);
    int PasteJob();
    bool CopyTree(const QString& src, const QString& dst);
    int AskOverwrite(const QString& destination);
    bool DeleteFile(const QString& path, bool onPc);
    int ErrorBox(const QString& text);
    int AppBox(const QString& text, bool yesNo);
    // "Continue with next file?" after a failed copy of src; true for Yes.
    bool ContinueAfterFailure(const QString& src, int code);

    QString m_currentPath;
};
