#pragma once
// The device explorer's file-operation dialog: runs one delete or paste job on its worker,
// with the device explorer's texts and rules. The frame fills in the members and runs it.
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

    static QString ErrorText(int code);

  protected:
    void RunJob() override;

  private:
    CJobPolicy Policy() const;
};
