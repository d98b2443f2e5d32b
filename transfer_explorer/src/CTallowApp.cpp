#include "CTallowApp.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include "CAboutDlg.h"
#include "CDlgProcess.h"
#include "CFindInfoDlg.h"
#include "CJobPump.h"
#include "CJobRegistry.h"
#include "CLinkDlg.h"
#include "CMainFrame.h"
#include "CSetupDlg.h"

namespace {
CTallowApp* g_app = nullptr;
}

CTallowApp::CTallowApp() {
    g_app = this;
    // The workers' hand-over queue belongs to this thread.
    CJobPump::Instance();
    // Built before the automatic link dialog because it shows one of the images.
    m_icons = std::make_unique<CIconCache>();
}

CTallowApp::~CTallowApp() {
    m_frame.reset();
    CJobRegistry::WaitAll();
    {
        std::lock_guard<std::mutex> lock(m_backend.Gate());
        m_backend.Close();
    }
    m_icons.reset();
    if (g_app == this) g_app = nullptr;
}

CTallowApp* CTallowApp::Instance() {
    return g_app;
}

CMainFrame* CTallowApp::InitInstance(const QStringList& arguments) {
    // The embedding and automation switches are accepted; there is no automation here.
    Q_UNUSED(arguments);
    const int autoLink = m_settings.AutoLink();
    SetRate(m_settings.Rate());
    SetPort(m_settings.Port());
    if (autoLink != 0) RunLinkDialog(nullptr);
    m_frame = std::make_unique<CMainFrame>(this);
    m_frame->show();
    m_frame->setWindowTitle(QStringLiteral("DriftboxGUI"));
    return m_frame.get();
}

bool CTallowApp::ConnectProcedure() {
    m_backend.SetShutDownPort(LastAppliedPort());
    const bool opened = m_backend.Open(Port(), Rate(), false);
    if (!opened) {
        SetConnected(false);
        return false;
    }
    SetConnected(true);
    m_backend.QueryVersion();
    QString description;
    bool plinth = false;
    if (m_backend.SystemDescription(&description)) {
        plinth = description.contains(QLatin1String("Plinth"));
        m_nameLimit.store(plinth ? kPlinthNameLimit : kDefaultNameLimit, std::memory_order_release);
    }
    m_plinth.store(plinth, std::memory_order_release);
    SetCaptionOnUiThread(ConnectedCaption(m_backend.ServerVersion(), plinth));
    return true;
}

QString CTallowApp::ConnectedCaption(const QString& version, bool plinth) {
    const QString caption = QStringLiteral("DriftboxGUI [server version: %1] %2")
                                .arg(version, plinth ? QStringLiteral("(Plinth)") : QString());
    return caption.left(kCaptionLimit);
}

void CTallowApp::SetCaptionOnUiThread(const QString& caption) {
    auto apply = [caption] {
        if (CTallowApp* app = Instance()) {
            if (CMainFrame* frame = app->MainFrame()) frame->setWindowTitle(caption);
        }
    };
    if (QThread::currentThread() == thread()) {
        apply();
        return;
    }
    // Through the workers' own queue, so that it arrives in order with what they post.
    CJobPump::Instance()->Queue(apply);
}

void CTallowApp::ApplySettings(int port, int rate) {
    if (port == LastAppliedPort() && rate == LastAppliedRate()) return;
    {
        auto lock = LockGateServing();
        m_backend.SetShutDownPort(LastAppliedPort());
        m_backend.Close();
    }
    m_lastAppliedPort.store(port, std::memory_order_release);
    m_lastAppliedRate.store(rate, std::memory_order_release);
    SetPort(port);
    SetRate(rate);
}

QString CTallowApp::TitleText() const {
    return Connected() ? tr(" Driftbox浏览器 [有连接]") : tr(" Driftbox浏览器 [无连接]");
}

bool CTallowApp::RunLinkDialog(QWidget* owner) {
    CLinkDlg dlg(this, owner);
    dlg.exec();
    return Connected();
}

int CTallowApp::Message(QWidget* parent, const QString& text, int buttons, int icon,
                        const QString& caption) const {
    QMessageBox box(static_cast<QMessageBox::Icon>(icon),
                    caption.isEmpty() ? QStringLiteral("DriftboxGUI") : caption, text,
                    static_cast<QMessageBox::StandardButtons>(buttons), parent);
    if (QAbstractButton* b = box.button(QMessageBox::Ok)) b->setText(tr("确定"));
    if (QAbstractButton* b = box.button(QMessageBox::Yes)) b->setText(tr("是(&Y)"));
    if (QAbstractButton* b = box.button(QMessageBox::No)) b->setText(tr("否(&N)"));
    return box.exec();
}

std::unique_lock<std::mutex> CTallowApp::LockGateServing() {
    std::unique_lock<std::mutex> lock(m_backend.Gate(), std::try_to_lock);
    while (!lock.owns_lock()) {
        // User input stays queued: only the workers' messages are served meanwhile.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 5);
        QThread::msleep(1);
        lock.try_lock();
    }
    return lock;
}

void CTallowApp::RunSetup(QWidget* owner) {
    CSetupDlg dlg(this, owner);
    dlg.exec();
}

void CTallowApp::RunConnect(QWidget* owner) {
    SetRate(m_settings.Rate());
    SetPort(m_settings.Port());
    SetConnected(false);
    RunLinkDialog(owner);
}

void CTallowApp::RunAbout(QWidget* owner) {
    CAboutDlg dlg(this, owner);
    dlg.exec();
}

CJobPolicy CTallowApp::JobPolicy() const {
    return CDlgProcess::Policy(NameLimit());
}

void CTallowApp::ListDeviceFolder(CFileListView* list, QWidget* owner) {
    CFindInfoDlg dlg(this, list, owner);
    dlg.exec();
}

void CTallowApp::StoreInfo(uint64_t* total, uint64_t* free) {
    auto lock = LockGateServing();
    if (m_backend.Handle() != 0) ConnectProcedure();
    m_backend.StoreInfo(total, free);
}
