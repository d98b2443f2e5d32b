#include "CVelkorApp.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QTranslator>
#include <mutex>

#include "CAboutDlg.h"
#include "CConnectDlg.h"
#include "CFileOpDlg.h"
#include "CJobRegistry.h"
#include "CListFilesDlg.h"
#include "CMainFrame.h"
#include "CSetupDlg.h"
#include "CZotlinkBackend.h"

namespace {
CVelkorApp* g_app = nullptr;
}

CVelkorApp::CVelkorApp(Edition edition, std::unique_ptr<IDeviceBackend> backend)
    : m_edition(edition), m_backend(std::move(backend)) {
    g_app = this;
    if (!m_backend) m_backend = std::make_unique<CZotlinkBackend>();
    // Built before the automatic connection because its dialog shows one of the images.
    m_icons = std::make_unique<CIconCache>();
    if (m_edition == Edition::Chinese) {
        m_translator = std::make_unique<QTranslator>();
        if (m_translator->load(QStringLiteral(":/i18n/velkor_zh_CN.qm")))
            QCoreApplication::installTranslator(m_translator.get());
    }
}

CVelkorApp::~CVelkorApp() {
    m_frame.reset();
    // A cancelled dialog's worker may still be inside the library; the library allows one
    // caller at a time, so shut it down only after every worker has ended.
    CJobRegistry::WaitAll();
    {
        std::lock_guard<std::mutex> lock(m_backend->Gate());
        m_backend->Close();
    }
    m_icons.reset();
    if (m_translator) QCoreApplication::removeTranslator(m_translator.get());
    if (g_app == this) g_app = nullptr;
}

CVelkorApp* CVelkorApp::Instance() {
    return g_app;
}

QString CVelkorApp::ProgramName() const {
    return IsChinese() ? QStringLiteral("Velkor") : QStringLiteral("Velkor_en");
}

CMainFrame* CVelkorApp::InitInstance(const QStringList& arguments) {
    // The embedding and automation switches are accepted; there is no automation here.
    Q_UNUSED(arguments);
    const int autoLink = m_settings.AutoLink();
    m_rate = m_settings.Rate();
    m_port = m_settings.Port();
    m_compress = m_settings.Compress() != 0;
    if (autoLink != 0) RunConnectDialog(nullptr);
    m_frame = std::make_unique<CMainFrame>(this);
    m_frame->show();
    return m_frame.get();
}

QStringList CVelkorApp::PortEntries() const {
    QStringList ports;
    const int count = IsChinese() ? 14 : 4;
    for (int i = 1; i <= count; ++i) ports << QStringLiteral("COM%1").arg(i);
    return ports;
}

QStringList CVelkorApp::RateEntries() {
    return {QStringLiteral("115200"), QStringLiteral("57600"), QStringLiteral("38400"),
            QStringLiteral("19200"), QStringLiteral("9600")};
}

QString CVelkorApp::TitleText() const {
    return Connected() ? tr(" Quayside [Connected]") : tr(" Quayside [No devices connected]");
}

bool CVelkorApp::RunConnectDialog(QWidget* owner) {
    CConnectDlg dlg(this, owner);
    dlg.exec();
    return Connected();
}

int CVelkorApp::Message(QWidget* parent, const QString& text, int buttons, int icon,
                        const QString& caption) const {
    QMessageBox box(static_cast<QMessageBox::Icon>(icon),
                    caption.isEmpty() ? QStringLiteral("Quayside") : caption, text,
                    static_cast<QMessageBox::StandardButtons>(buttons), parent);
    return box.exec();
}

void CVelkorApp::RunSetup(QWidget* owner) {
    CSetupDlg dlg(this, owner);
    dlg.exec();
}

void CVelkorApp::RunConnect(QWidget* owner) {
    SetCompress(m_settings.Compress() != 0);
    SetConnected(false);
    RunConnectDialog(owner);
}

void CVelkorApp::RunAbout(QWidget* owner) {
    CAboutDlg dlg(this, owner);
    dlg.exec();
}

CJobPolicy CVelkorApp::JobPolicy() const {
    return CFileOpDlg::Policy();
}

void CVelkorApp::ListDeviceFolder(CFileListView* list, QWidget* owner) {
    CListFilesDlg dlg(list, m_backend.get(), owner);
    dlg.exec();
}

void CVelkorApp::StoreInfo(uint64_t* total, uint64_t* free) {
    // A worker abandoned by a cancelled dialog may still hold the library; then the store
    // shows as empty rather than the window waiting for it.
    std::unique_lock<std::mutex> lock(m_backend->Gate(), std::try_to_lock);
    if (lock.owns_lock()) m_backend->StoreInfo(total, free);
}
