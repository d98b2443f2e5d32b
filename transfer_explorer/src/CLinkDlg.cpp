#include "CLinkDlg.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <atomic>
#include <mutex>

#include "CTallowApp.h"

namespace {
std::atomic<int> g_tickMs{1000};
}

CLinkDlg::CLinkDlg(CTallowApp* app, QWidget* owner)
    : CWorkerDialog(owner), m_app(app), m_progress(new QLabel(this)) {
    setWindowTitle(tr("信息"));
    SetIcon(app->Icons().Icon(CIconCache::kDevices));
    CancelButton()->hide();
    if (auto* box = qobject_cast<QVBoxLayout*>(layout())) box->insertWidget(1, m_progress);
    m_timer.setInterval(g_tickMs.load());
    connect(&m_timer, &QTimer::timeout, this, &CLinkDlg::OnTick);
}

void CLinkDlg::SetTickInterval(int ms) {
    g_tickMs.store(ms);
}

QString CLinkDlg::FailureText() {
    return tr("初始化Driftbox失败，请确认USB/COM没有被占用！");
}

CConnectFailure::Words CLinkDlg::FailureWords() {
    CConnectFailure::Words words;
    words.didNotOpen = tr("端口%1无法打开：%2。");
    words.reason = [](qs::OpenFailure failure, const QString& systemText) {
        switch (failure) {
            case qs::OpenFailure::kMissing:
                return tr("没有这个设备");
            case qs::OpenFailure::kPermissionDenied:
                return tr("没有权限");
            case qs::OpenFailure::kInUse:
                return tr("已被其它程序占用");
            case qs::OpenFailure::kNotSerial:
                return tr("不是串口设备");
            case qs::OpenFailure::kSettingsRefused:
                return tr("不接受设定的波特率");
            case qs::OpenFailure::kNone:
            case qs::OpenFailure::kOther:
                break;
        }
        return systemText.isEmpty() ? tr("无法打开") : systemText;
    };
    words.permissionHint =
        tr("请把用户加入dialout组：sudo usermod -aG dialout $USER，然后重新登录");
    words.quiet = tr("端口%1已打开，但没有终端应答。");
    return words;
}

QString CLinkDlg::ProgressText() const {
    return m_progress->text();
}

void CLinkDlg::reject() {
    // Escape and the close box do nothing: the worker reports the outcome to this dialog.
}

void CLinkDlg::Begin() {
    m_app->SetLinkDone(false);
    m_app->SetRate(m_app->Settings().Rate());
    m_app->SetPort(m_app->Settings().Port());
    const int port = m_app->Port();
    const int rate = m_app->Rate();
    CTallowApp* app = m_app;
    CLinkDlg* self = this;
    const QString device = CConnectFailure::DeviceOf(port, true);
    StartWorker([app, self, device](const std::shared_ptr<CJobToken>& token) {
        bool linked = false;
        int openError = 0;
        {
            std::lock_guard<std::mutex> lock(app->Backend().Gate());
            linked = app->ConnectProcedure();
            openError = app->Backend().OpenError();
        }
        if (linked) {
            token->Post([self] { self->OnMessage(WM_LINK_OK); });
            return;
        }
        token->Send([self, app, device, openError] {
            app->Message(self,
                         CConnectFailure::Text(FailureText(), device, openError, FailureWords()),
                         QMessageBox::Ok, QMessageBox::Warning);
        });
        token->Post([self] { self->OnMessage(WM_LINK_FAILED); });
    });
    if (port != 0)
        SetText(QString::asprintf(tr("正在以%d的速率连接COM%d掌上设备...").toUtf8().constData(),
                                  rate, port));
    else
        SetText(tr("正在通过USB连接掌上设备..."));
    m_timer.start();
}

void CLinkDlg::OnTick() {
    if (m_app->LinkDone()) {
        m_timer.stop();
        return;
    }
    m_counter = (m_counter + 1) % 4;
    static const char* const kDots[] = {"", "．", "．　．", "．　．　．"};
    m_progress->setText(QString::fromUtf8(kDots[m_counter]));
    if (m_counter == 3) m_counter = 0;
    emit progressTextChanged(m_progress->text());
}

void CLinkDlg::OnMessage(int message) {
    if (message == WM_LINK_OK) {
        SetText(tr("连接成功..."));
    } else if (message == WM_LINK_FAILED) {
        SetText(tr("连接失败"));
        m_progress->clear();
    } else {
        return;
    }
    m_app->SetLinkDone(true);
    m_timer.stop();
    accept();
}
