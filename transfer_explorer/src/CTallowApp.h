#pragma once
// The transfer explorer's application object: settings, the connection state shared with the
// workers, the image list, the terminal backend and the main frame. One per process.
#include <QObject>
#include <QStringList>
#include <atomic>
#include <memory>
#include <mutex>

#include "CDriftboxBackend.h"
#include "CIconCache.h"
#include "CTallowSettings.h"
#include "IExplorerProgram.h"

class QWidget;
class CMainFrame;

class CTallowApp : public QObject, public IExplorerProgram {
    Q_OBJECT
  public:
    static constexpr int kPlinthNameLimit = 16;
    static constexpr int kDefaultNameLimit = 255;
    static constexpr int kCaptionLimit = 99;

    CTallowApp();
    // Lets abandoned workers end, then closes the connection: a reader thread left running
    // past the application object would outlive everything it reports to.
    ~CTallowApp() override;
    static CTallowApp* Instance();

    // Start-up: settings, the automatic link dialog before any window, the image list, the
    // frame (shown, caption "DriftboxGUI"). Never null.
    CMainFrame* InitInstance(const QStringList& arguments);

    CTallowSettings& Settings() override { return m_settings; }
    CIconCache& Icons() override { return *m_icons; }
    CDriftboxBackend& Backend() override { return m_backend; }
    CMainFrame* MainFrame() const { return m_frame.get(); }

    // Connection state. Written by whichever thread runs the connect procedure while the
    // user-interface thread sits in a modal dialog, so every word is atomic.
    bool Connected() const override { return m_connected.load(std::memory_order_acquire); }
    void SetConnected(bool c) { m_connected.store(c, std::memory_order_release); }
    int Port() const { return m_port.load(std::memory_order_acquire); }
    int Rate() const { return m_rate.load(std::memory_order_acquire); }
    void SetPort(int port) { m_port.store(port, std::memory_order_release); }
    void SetRate(int rate) { m_rate.store(rate, std::memory_order_release); }
    int LastAppliedPort() const { return m_lastAppliedPort.load(std::memory_order_acquire); }
    int LastAppliedRate() const { return m_lastAppliedRate.load(std::memory_order_acquire); }
    int NameLimit() const { return m_nameLimit.load(std::memory_order_acquire); }
    bool IsPlinth() const { return m_plinth.load(std::memory_order_acquire); }
    bool LinkDone() const { return m_linkDone.load(std::memory_order_acquire); }
    void SetLinkDone(bool done) { m_linkDone.store(done, std::memory_order_release); }

    // Shut down, start over USB or COM, read version and system information, set the name
    // limit and the caption. The caller holds the backend's gate. Any thread; the caption is
    // set on the user-interface thread. True when a handle resulted.
    bool ConnectProcedure();
    // "DriftboxGUI [server version: %s] %s", cut to 99 characters.
    static QString ConnectedCaption(const QString& version, bool plinth);
    // The settings dialog's OK: a changed port or rate closes the connection and becomes the
    // applied one. The connected flag stays as it is.
    void ApplySettings(int port, int rate);

    // " Driftbox浏览器 [有连接]" or " Driftbox浏览器 [无连接]" from the connected flag.
    QString TitleText() const override;
    // Runs the link dialog modally; true when it connected.
    bool RunLinkDialog(QWidget* owner);
    // A message box with the program's caption and Chinese button texts.
    int Message(QWidget* parent, const QString& text, int buttons, int icon,
                const QString& caption = {}) const override;

    // What the frame asks of this program.
    void RunSetup(QWidget* owner) override;
    // Reads port and rate, drops the connected flag and runs the link dialog.
    void RunConnect(QWidget* owner) override;
    void RunAbout(QWidget* owner) override;
    CJobPolicy JobPolicy() const override;
    void ListDeviceFolder(CFileListView* list, QWidget* owner) override;
    // Reconnects first when a connection is open, and asks even without one: the values that
    // come back are shown.
    void StoreInfo(uint64_t* total, uint64_t* free) override;

    // The gate of the backend, taken on the user-interface thread: it waits for an abandoned
    // worker's last request while still serving what the workers post and send.
    std::unique_lock<std::mutex> LockGateServing();

  private:
    void SetCaptionOnUiThread(const QString& caption);

    CTallowSettings m_settings;
    std::unique_ptr<CIconCache> m_icons;
    CDriftboxBackend m_backend;
    std::unique_ptr<CMainFrame> m_frame;
    std::atomic<bool> m_connected{false};
    std::atomic<int> m_port{CTallowSettings::kDefaultPort};
    std::atomic<int> m_rate{CTallowSettings::kDefaultRate};
    std::atomic<int> m_lastAppliedPort{0};
    std::atomic<int> m_lastAppliedRate{115200};
    std::atomic<int> m_nameLimit{kDefaultNameLimit};
    std::atomic<bool> m_plinth{false};
    std::atomic<bool> m_linkDone{false};
};
