#pragma once
// The connection dialog: its worker opens the link (ZOT_LumoInit) and asks the terminal for
// its version up to three times; WM_CONNECTED tells the dialog it worked. A failure says why
// under the program's message.
#include "CConnectFailure.h"
#include "CWorkerDialog.h"

class CVelkorApp;

class CConnectDlg : public CWorkerDialog {
    Q_OBJECT
  public:
    // The worker's messages to the dialog (sent: the worker waits until they are handled).
    static constexpr int WM_USER = 0x0400;
    static constexpr int WM_CONNECTED = WM_USER + 101;

    CConnectDlg(CVelkorApp* app, QWidget* owner);

    // Handles a message the worker sent.
    void OnMessage(int message);

    static QString FailureText();
    // The lines under it saying why.
    static CConnectFailure::Words FailureWords();

  protected:
    void Begin() override;

  private:
    CVelkorApp* m_app;
};
