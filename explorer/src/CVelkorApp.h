#pragma once
// The device explorer's application object: the edition and its texts, the settings, the
// connection state shared with the connection worker, the image list, the terminal backend
// and the main frame. One per process.
#include <QObject>
#include <QStringList>
#include <atomic>
#include <memory>

#include "CIconCache.h"
#include "CVelkorSettings.h"
#include "IDeviceBackend.h"
#include "IExplorerProgram.h"

class QTranslator;
class QWidget;
class CMainFrame;

class CVelkorApp : public QObject, public IExplorerProgram {
    Q_OBJECT
  public:
    enum class Edition { English, Chinese };

    // backend: the terminal; the Zotlink library when null.
    explicit CVelkorApp(Edition edition, std::unique_ptr<IDeviceBackend> backend = {});
    // The exit processing: lets abandoned workers end, then shuts the library down.
    ~CVelkorApp() override;
    static CVelkorApp* Instance();

    // Start-up: settings, the automatic connection, the image list, the frame. Returns the
    // frame (shown), never null.
    CMainFrame* InitInstance(const QStringList& arguments);

    Edition GetEdition() const { return m_edition; }
    bool IsChinese() const { return m_edition == Edition::Chinese; }
    QString ProgramName() const;
    CVelkorSettings& Settings() override { return m_settings; }
    CIconCache& Icons() override { return *m_icons; }
    IDeviceBackend& Backend() override { return *m_backend; }
    CMainFrame* MainFrame() const { return m_frame.get(); }

    bool Connected() const override { return m_connected.load(std::memory_order_acquire); }
    void SetConnected(bool connected) { m_connected.store(connected, std::memory_order_release); }
    int Port() const { return m_port.load(); }
    int Rate() const { return m_rate.load(); }
    bool Compress() const { return m_compress.load(); }
    void SetPort(int port) { m_port.store(port); }
    void SetRate(int rate) { m_rate.store(rate); }
    void SetCompress(bool compress) { m_compress.store(compress); }

    // The Setup dialog's port entries of this edition.
    QStringList PortEntries() const;
    static QStringList RateEntries();
    // " Quayside [Connected]" or " Quayside [No devices connected]" in the edition's words.
    QString TitleText() const override;
    // Runs the connection dialog modally; true when it connected.
    bool RunConnectDialog(QWidget* owner);
    int Message(QWidget* parent, const QString& text, int buttons, int icon,
                const QString& caption = {}) const override;

    // What the frame asks of this program.
    void RunSetup(QWidget* owner) override;
    // Reads the compress switch, drops the connected flag and runs the connection dialog.
    void RunConnect(QWidget* owner) override;
    void RunAbout(QWidget* owner) override;
    CJobPolicy JobPolicy() const override;
    void ListDeviceFolder(CFileListView* list, QWidget* owner) override;
    void StoreInfo(uint64_t* total, uint64_t* free) override;

  private:
    Edition m_edition;
    std::unique_ptr<QTranslator> m_translator;
    CVelkorSettings m_settings;
    std::unique_ptr<CIconCache> m_icons;
    std::unique_ptr<IDeviceBackend> m_backend;
    std::unique_ptr<CMainFrame> m_frame;
    std::atomic<bool> m_connected{false};
    std::atomic<int> m_port{1};
    std::atomic<int> m_rate{115200};
    std::atomic<bool> m_compress{true};
};
