#pragma once
// The transfer explorer's progress dialog: runs one paste or delete job on its worker with
// DriftboxGUI's texts and rules. The frame fills in the members and runs it modally.
#include <QStringList>

#include "CFileJobDialog.h"

class CLeftView;
class CTallowApp;
class CTallowView;

class CDlgProcess : public CFileJobDialog {
    Q_OBJECT
  public:
    enum Mode { kDelete = 0, kPaste = 1 };
    // Called on the user-interface thread while the worker waits, once per file a paste wrote.
    // targetLocal: entry is a QFileInfo of the new PC file; else a CDriftboxBackend::Record.
    using RowCallback = void (*)(bool targetLocal, const void* entry, void* context);

    CDlgProcess(CTallowApp* app, QWidget* parent = nullptr);

    QString m_strCaption;
    int m_nMode = kPaste;
    QStringList m_paths;
    int m_nSelected = 0;
    CLeftView* m_pTree = nullptr;
    CTallowView* m_pList = nullptr;
    RowCallback m_pfnRowCallback = nullptr;
    void* m_pCallbackContext = nullptr;
    // The delete works on the tree's folder rather than the list's rows.
    bool m_bTreeActive = false;

    // "[" + S + "]" + this + " Continue with next file?" after a failed file.
    static QString OutcomeText(int status);
    static QString OverwriteQuestion(const QString& target);

    // A delete cannot be stopped halfway: Esc and the close box do nothing while it runs.
    void reject() override;

  protected:
    void RunJob() override;
    void showEvent(QShowEvent* event) override;

  private:
    void PasteJob();
    void DeleteJob();
    bool DeleteTree(const QString& folder);
    bool CopyTree(const QString& src, const QString& dst);
    bool DeleteDeviceFile(const QString& name);
    // Transfers one file; false when the job must end (the library refused the request).
    bool Transfer(bool sourceLocal, bool targetLocal, const QString& src, const QString& name,
                  const QString& target);
    int ErrorBox(const QString& caption, const QString& text);
    bool YesNo(const QString& text);

    CTallowApp* m_app;
    QString m_currentPath;
};
