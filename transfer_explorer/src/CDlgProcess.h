#pragma once
// DriftboxGUI's progress dialog as this program words it: the texts the one job dialog shows,
// and the texts and rules of the jobs and of the commands that start them.
#include <QCoreApplication>

#include "CFileJobDialog.h"
#include "CJobPolicy.h"

class CDlgProcess {
    Q_DECLARE_TR_FUNCTIONS(CDlgProcess)
  public:
    static CFileJobDialog::Texts Texts();
    // DriftboxGUI's texts and rules; nameLimit is the server's longest device name.
    static CJobPolicy Policy(int nameLimit);
    // "[" + S + "]" + this + " Continue with next file?" after a failed file.
    static QString OutcomeText(int status);
    static QString OverwriteQuestion(const QString& target);
};
