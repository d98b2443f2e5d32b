#pragma once
// The device explorer's file-operation dialog as this edition words it: the texts the one job
// dialog shows, and the texts and rules of the jobs and of the commands that start them.
#include <QCoreApplication>

#include "CFileJobDialog.h"
#include "CJobPolicy.h"

class CFileOpDlg {
    Q_DECLARE_TR_FUNCTIONS(CFileOpDlg)
  public:
    static CFileJobDialog::Texts Texts();
    static QString ErrorText(int code);
    static CJobPolicy Policy();
};
