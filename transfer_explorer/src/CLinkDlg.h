#pragma once
// The link dialog: its connect thread runs the connect procedure and posts WM_LINK_OK or
// WM_LINK_FAILED; meanwhile a line of one to three dots cycles once a tick. It has no buttons
// and cannot be dismissed: the attempt ends on its own within the library's time-outs.
#include <QTimer>

#include "CConnectFailure.h"
#include "CWorkerDialog.h"

class QLabel;
class CTallowApp;

class CLinkDlg : public CWorkerDialog {
    Q_OBJECT
  public:
    static constexpr int WM_USER = 0x0400;
    static constexpr int WM_LINK_OK = WM_USER + 101;
    static constexpr int WM_LINK_FAILED = WM_USER + 102;

    CLinkDlg(CTallowApp* app, QWidget* owner);

    void OnMessage(int message);
    QString ProgressText() const;
    static QString FailureText();
    // The lines under it saying why.
    static CConnectFailure::Words FailureWords();
    // The dots' period; tests shorten it.
    static void SetTickInterval(int ms);

    void reject() override;

  signals:
    void progressTextChanged(const QString& text);

  protected:
    void Begin() override;

  private:
    void OnTick();

    CTallowApp* m_app;
    QLabel* m_progress;
    QTimer m_timer;
    int m_counter = 0;
};
