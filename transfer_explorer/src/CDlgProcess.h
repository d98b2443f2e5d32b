#pragma once
// The transfer explorer's progress dialog: runs one paste or delete job on its worker with
// DriftboxGUI's texts and rules. The frame's order fills in the members; it runs modally.
#include <QStringList>

#include "CFileJobDialog.h"
#include "CJobPolicy.h"

class CTallowApp;
class IJobViews;

class CDlgProcess : public CFileJobDialog {
    Q_OBJECT
  public:
    enum Mode { kDelete = 0, kPaste = 1 };

    CDlgProcess(CTallowApp* app, QWidget* parent = nullptr);

    QString m_strCaption;
    int m_nMode = kPaste;
    QStringList m_paths;
    int m_nSelected = 0;
    IJobViews* m_pViews = nullptr;  // the frame's, borrowed
    // The delete works on the tree's folder rather than the list's rows.
    bool m_bTreeActive = false;

    void SetOrder(const Order& order) override;

    // DriftboxGUI's texts and rules, of the jobs and of the commands that start them; nameLimit
    // is the server's longest device name.
    static CJobPolicy Policy(int nameLimit);
    // "[" + S + "]" + this + " Continue with next file?" after a failed file.
    static QString OutcomeText(int status);
    static QString OverwriteQuestion(const QString& target);

    // A delete cannot be stopped halfway: Esc and the close box do nothing while it runs.
    void reject() override;

  protected:
    void RunJob() override;
    void showEvent(QShowEvent* event) override;

  private:
    CTallowApp* m_app;
};
