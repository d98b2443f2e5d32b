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

QString CLinkDlg::ProgressText() const {
    return m_progress->text();
}

void CLinkDlg::reject() {
    // Escape and the close box do nothing: the worker reports the outcome to this dialog.
}

void CLinkDlg::showEvent(QShowEvent* event) {
    CWorkerDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        Begin();
    }
}

void CLinkDlg::Begin() {
    m_app->SetLinkDone(false);
    m_app->SetRate(m_app->Settings().Rate());
    m_app->SetPort(m_app->Settings().Port());
    const int port = m_app->Port();
    const int rate = m_app->Rate();
    CTallowApp* app = m_app;
    CLinkDlg* self = this;
    StartWorker([app, self](const std::shared_ptr<CJobToken>& token) {
        bool linked = false;
        {
            std::lock_guard<std::mutex> lock(app->Backend().Gate());
            linked = app->ConnectProcedure();
        }
        if (linked) {
            token->Post([self] { self->OnMessage(WM_LINK_OK); });
            return;
        }
        token->Send([self, app] {
            app->Message(self, FailureText(), QMessageBox::Ok, QMessageBox::Warning);
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
