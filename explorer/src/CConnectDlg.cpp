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

// The words for why a port did not open are the serial code's own; these marks put them into
// the translation.
[[maybe_unused]] static const char* const kSerialWords[] = {
    QT_TRANSLATE_NOOP("CConnectDlg", "no such device"),
    QT_TRANSLATE_NOOP("CConnectDlg", "permission denied"),
    QT_TRANSLATE_NOOP("CConnectDlg", "in use by another program"),
    QT_TRANSLATE_NOOP("CConnectDlg", "not a serial device"),
    QT_TRANSLATE_NOOP("CConnectDlg", "it does not take the line settings"),
    QT_TRANSLATE_NOOP("CConnectDlg", "it cannot be opened"),
    QT_TRANSLATE_NOOP(
        "CConnectDlg",
        "Add your user to the group dialout: sudo usermod -aG dialout $USER, then log in again"),
};

CConnectFailure::Words CConnectDlg::FailureWords() {
    CConnectFailure::Words words;
    words.didNotOpen = tr("The port %1 did not open: %2.");
    words.reason = [](qs::OpenFailure failure, const QString& systemText) {
        if (failure == qs::OpenFailure::kOther && !systemText.isEmpty()) return systemText;
        return tr(qs::OpenFailureReason(failure).c_str());
    };
    words.permissionHint = tr(qs::PermissionDeniedHint());
    words.quiet = tr("The port %1 opened, but no terminal answered.");
    return words;
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
    const QString device = CConnectFailure::DeviceOf(port, false);
    StartWorker([=](const std::shared_ptr<CJobToken>& token) {
        bool opened = false;
        bool connected = false;
        int openError = 0;
        {
            // Waits here, off the user-interface thread, while an abandoned worker still talks
            // to the library.
            std::lock_guard<std::mutex> lock(backend->Gate());
            if (token->Cancelled()) return;
            opened = backend->Open(port, rate, compress);
            openError = backend->OpenError();
            for (int attempt = 0; opened && attempt < 3 && !connected && !token->Cancelled();
                 ++attempt) {
                connected = backend->QueryVersion();
                // One query already waited out the engine's whole budget: a port where nothing
                // answered it is reported now rather than after two more.
                if (backend->LinkState() == IDeviceBackend::Link::Down) break;
            }
        }
        if (!opened) {
            token->Send([self, app, device, openError] {
                app->Message(
                    self, CConnectFailure::Text(FailureText(), device, openError, FailureWords()),
                    QMessageBox::Ok, QMessageBox::Warning);
            });
            return;
        }
        if (!connected) {
            // The dialog stays open with its connecting text; the line under it says that the
            // port is there but nothing on it speaks.
            token->Send([self, device] {
                self->SetText(CConnectFailure::Text(self->Text(), device, 0, FailureWords()));
            });
            return;
        }
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
