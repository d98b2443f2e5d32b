#pragma once
// The device explorer's file-operation dialog: runs one delete or paste job on its worker,
// with the device explorer's texts and rules. The frame's order fills in the members.
#include <QStringList>

#include "CFileJobDialog.h"
#include "CJobPolicy.h"

class IDeviceBackend;
class IJobViews;

class CFileOpDlg : public CFileJobDialog {
    Q_OBJECT
  public:
    enum Operation { kDelete = 0, kPaste = 1 };

    explicit CFileOpDlg(QWidget* parent = nullptr);

    int m_nOperation = -1;
    QString m_strTitle;
    const QStringList* m_pSources = nullptr;  // borrowed for the run
    int m_nItems = 0;
    IJobViews* m_pViews = nullptr;         // the frame's, borrowed
    IDeviceBackend* m_pBackend = nullptr;  // borrowed
    // True when the delete job works on the tree's folder rather than the list's rows.
    bool m_bTreeActive = false;

    void SetOrder(const Order& order) override;

    static QString ErrorText(int code);
    // The device explorer's texts and rules, of the jobs and of the commands that start them.
    static CJobPolicy Policy();

  protected:
    void RunJob() override;
};
