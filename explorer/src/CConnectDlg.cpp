#include "CConnectDlg.h"

#include <QMessageBox>
#include <mutex>

#include "CVelkorApp.h"

CConnectDlg::CConnectDlg(CVelkorApp* app, QWidget* owner) : CWorkerDialog(owner), m_app(app) {
    setWindowTitle(tr("Message"));
    SetIcon(app->Icons().Icon(CIconCache::kDevices));
}

QString CConnectDlg::FailureText() {
    return tr("Initialize RPC fail, please comfirm that COM port is not used by other program !");
}

void CConnectDlg::showEvent(QShowEvent* event) {
    CWorkerDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        Begin();
    }
}

void CConnectDlg::Begin() {
    CVelkorSettings& settings = m_app->Settings();
    m_app->SetRate(settings.Rate());
    m_app->SetPort(settings.Port());
    const int port = m_app->Port();
    const int rate = m_app->Rate();
    const bool compress = m_app->Compress();
    IDeviceBackend* backend = &m_app->Backend();
    CConnectDlg* self = this;
    CVelkorApp* app = m_app;
    StartWorker([=](const std::shared_ptr<CJobToken>& token) {
        bool opened = false;
        bool connected = false;
        {
            // Waits here, off the user-interface thread, while an abandoned worker still talks
            // to the library.
            std::lock_guard<std::mutex> lock(backend->Gate());
            if (token->Cancelled()) return;
            opened = backend->Open(port, rate, compress);
            for (int attempt = 0; opened && attempt < 3 && !connected && !token->Cancelled();
                 ++attempt)
                connected = backend->QueryVersion();
        }
        if (!opened) {
            token->Send([self, app] {
                app->Message(self, FailureText(), QMessageBox::Ok, QMessageBox::Warning);
            });
            return;
        }
        if (!connected) return;
        // The flag is set on the user-interface thread, and only while the dialog still waits:
        // an attempt the user cancelled must not turn a later state into "connected".
        token->Send([self, app] {
            app->SetConnected(true);
            self->OnMessage(WM_CONNECTED);
        });
    });
    // Chinese puts the rate first.
    SetText(tr("COM:%1, baudrate:%2, connecting...").arg(port).arg(rate));
}

void CConnectDlg::OnMessage(int message) {
    if (message != WM_CONNECTED) return;
    SetText(tr("Connected successful !"));
    accept();
}
