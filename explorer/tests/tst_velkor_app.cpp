// Start-up, settings, the Setup dialog and the connection procedure of both editions against
// the terminal simulator.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QStandardPaths>
#include <QtTest>
#include <filesystem>

#include "CConnectDlg.h"
#include "CJobRegistry.h"
#include "CLeftView.h"
#include "CMainFrame.h"
#include "CModalDriver.h"
#include "CPortDevicePicker.h"
#include "CPortMapFixture.h"
#include "CPosixOnly.h"
#include "CSetupDlg.h"
#include "CSimFixture.h"
#include "CVelkorApp.h"
#include "port_name.h"

Q_DECLARE_METATYPE(CVelkorApp::Edition)

namespace {
const auto kEnglish = CVelkorApp::Edition::English;
const auto kChinese = CVelkorApp::Edition::Chinese;

bool IsChinese(CVelkorApp::Edition e) {
    return e == kChinese;
}

// What port entry row shows in the open drop-down.
QString Shown(const CSetupDlg& dlg, int row) {
    return dlg.PortList()->itemData(row, CPortDevicePicker::kShownRole).toString();
}

// What an entry bound to nothing shows: the device it opens by default.
QString DefaultShown(const char* entry, const QString& absent) {
    const QString device = QString::fromStdString(qs::SerialDeviceForName(entry));
    return QStringLiteral("%1  (%2)")
        .arg(QLatin1String(entry), QFile::exists(device) ? device : device + " — " + absent);
}
}  // namespace

class TestVelkorApp : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        CVelkorSettings().Clear();
        for (int i = 1; i <= 14; ++i) ::unsetenv(qPrintable(QStringLiteral("COM%1").arg(i)));
    }

    void startWithoutSettingsConnectsToCom1At115200Compressed_data();
    void startWithoutSettingsConnectsToCom1At115200Compressed();
    void startWithAutoLinkOffShowsNoDialogAndNotConnected_data();
    void startWithAutoLinkOffShowsNoDialogAndNotConnected();
    void setupShowsDefaultsAndStoresSecondPortAsPort2_data();
    void setupShowsDefaultsAndStoresSecondPortAsPort2();
    void setupWithUnknownRateKeepsStoredRate();
    void setupCancelWritesNothing();
    void editionPortLists();
    void setupShowsEachPortsDeviceAndCancelKeepsTheMap_data();
    void setupShowsEachPortsDeviceAndCancelKeepsTheMap();
    void setupOkBindsChosenDeviceAndConnectGoesThroughIt();
    void setupThatCannotSaveThePortMapSaysWhyAndKeepsEverything();
    void connectCommandConnectsAndShowsDeviceItem_data();
    void connectCommandConnectsAndShowsDeviceItem();
    void cancelledConnectWhileConnectedDropsDeviceItemAndLaterConnectWorks();
    void failedOpenShowsExactFailureTextAndWhy_data();
    void failedOpenShowsExactFailureTextAndWhy();
    void windowSizeAndSplitterComeBackAtNextStart();
};

void TestVelkorApp::startWithoutSettingsConnectsToCom1At115200Compressed_data() {
    QTest::addColumn<CVelkorApp::Edition>("edition");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("title");
    QTest::newRow("en") << kEnglish << "COM:1, baudrate:115200, connecting..."
                        << "Message"
                        << " Quayside [Connected]";
    QTest::newRow("zh") << kChinese << "正在以115200的速率连接COM1掌上设备..."
                        << "信息"
                        << " Quayside浏览器 [有连接]";
}

void TestVelkorApp::startWithoutSettingsConnectsToCom1At115200Compressed() {
    QFETCH(CVelkorApp::Edition, edition);
    QFETCH(QString, text);
    QFETCH(QString, caption);
    QFETCH(QString, title);
    // Slow replies keep the dialog up long enough to read it.
    CSimFixture sim({.latencyMs = 150, .port = 1, .inProcess = true});
    QS_REQUIRE_SIM(sim);
    CModalDriver driver;
    QString seenText, seenCaption;
    bool ownerless = false;
    driver.Then([&](QWidget* w) {
        if (auto* dlg = qobject_cast<CConnectDlg*>(w)) {
            seenText = dlg->Text();
            seenCaption = dlg->windowTitle();
            ownerless = dlg->parentWidget() == nullptr;
        }
    });
    CVelkorApp app(edition);
    CMainFrame* frame = app.InitInstance({});
    QCOMPARE(seenText, text);
    QCOMPARE(seenCaption, caption);
    QVERIFY(ownerless);
    QCOMPARE(app.Port(), 1);
    QCOMPARE(app.Rate(), 115200);
    QVERIFY(app.Compress());
    QVERIFY(app.Connected());
    QCOMPARE(frame->windowTitle(), title);
    bool compressedRequest = false;
    for (const auto& r : sim.Sim().Requests()) compressedRequest |= r.compressed;
    QVERIFY(compressedRequest);
}

void TestVelkorApp::startWithAutoLinkOffShowsNoDialogAndNotConnected_data() {
    QTest::addColumn<CVelkorApp::Edition>("edition");
    QTest::addColumn<QString>("title");
    QTest::newRow("en") << kEnglish << " Quayside [No devices connected]";
    QTest::newRow("zh") << kChinese << " Quayside浏览器 [无连接]";
}

void TestVelkorApp::startWithAutoLinkOffShowsNoDialogAndNotConnected() {
    QFETCH(CVelkorApp::Edition, edition);
    QFETCH(QString, title);
    CVelkorSettings().SetAutoLink(0);
    CModalDriver driver;
    bool sawDialog = false;
    driver.Then([&](QWidget*) { sawDialog = true; });
    CVelkorApp app(edition);
    CMainFrame* frame = app.InitInstance({});
    QCoreApplication::processEvents();
    QVERIFY(!sawDialog);
    QVERIFY(!app.Connected());
    QCOMPARE(frame->windowTitle(), title);
    CLeftView* tree = frame->LeftView();
    QCOMPARE(tree->DevicesItem()->childCount(), 0);
    QCOMPARE(tree->RootItem()->text(0),
             IsChinese(edition) ? QString("资源管理器") : QString("File Explore"));
    QCOMPARE(tree->ComputerItem()->text(0),
             IsChinese(edition) ? QString("我的电脑") : QString("My Computer"));
    QCOMPARE(tree->DevicesItem()->text(0),
             IsChinese(edition) ? QString("掌上设备") : QString("Remote Devices"));
}

void TestVelkorApp::setupShowsDefaultsAndStoresSecondPortAsPort2_data() {
    QTest::addColumn<CVelkorApp::Edition>("edition");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("autoText");
    QTest::addColumn<QString>("compressText");
    QTest::addColumn<QString>("okText");
    QTest::newRow("en") << kEnglish << "Setup"
                        << "Auto connect while launch"
                        << "Compress datagram"
                        << "OK";
    QTest::newRow("zh") << kChinese << "设置"
                        << "每次启动自动连接"
                        << "以压缩的报文通讯"
                        << "确定";
}

void TestVelkorApp::setupShowsDefaultsAndStoresSecondPortAsPort2() {
    QFETCH(CVelkorApp::Edition, edition);
    QFETCH(QString, caption);
    QFETCH(QString, autoText);
    QFETCH(QString, compressText);
    QFETCH(QString, okText);
    CVelkorApp app(edition);
    CSetupDlg dlg(&app, nullptr);
    QCOMPARE(dlg.windowTitle(), caption);
    QCOMPARE(dlg.PortList()->currentText(), QString("COM1"));
    QCOMPARE(dlg.RateList()->currentText(), QString("115200"));
    QVERIFY(dlg.AutoLinkBox()->isChecked());
    QVERIFY(dlg.CompressBox()->isChecked());
    QCOMPARE(dlg.AutoLinkBox()->text(), autoText);
    QCOMPARE(dlg.CompressBox()->text(), compressText);
    QStringList rates;
    for (int i = 0; i < dlg.RateList()->count(); ++i) rates << dlg.RateList()->itemText(i);
    QCOMPARE(rates, QStringList({"115200", "57600", "38400", "19200", "9600"}));
    bool okFound = false;
    for (QPushButton* b : dlg.findChildren<QPushButton*>()) okFound |= b->text() == okText;
    QVERIFY(okFound);

    dlg.PortList()->setCurrentIndex(1);
    dlg.RateList()->setCurrentIndex(4);
    dlg.CompressBox()->setChecked(false);
    dlg.accept();
    CVelkorSettings s;
    QCOMPARE(s.Port(), 2);
    QCOMPARE(s.Rate(), 9600);
    QCOMPARE(s.Compress(), 0);
    QCOMPARE(s.AutoLink(), 1);
}

void TestVelkorApp::setupWithUnknownRateKeepsStoredRate() {
    CVelkorSettings().SetRate(12345);
    CVelkorSettings().SetPort(9);  // beyond the English list
    CVelkorApp app(kEnglish);
    CSetupDlg dlg(&app, nullptr);
    QCOMPARE(dlg.RateList()->currentIndex(), -1);
    QCOMPARE(dlg.PortList()->currentIndex(), -1);
    dlg.accept();
    QCOMPARE(CVelkorSettings().Rate(), 12345);
    QCOMPARE(CVelkorSettings().Port(), 9);
}

void TestVelkorApp::setupCancelWritesNothing() {
    CVelkorApp app(kEnglish);
    CSetupDlg dlg(&app, nullptr);
    dlg.PortList()->setCurrentIndex(3);
    dlg.reject();
    QCOMPARE(CVelkorSettings().Port(), 1);
}

void TestVelkorApp::editionPortLists() {
    {
        CVelkorApp app(kEnglish);
        QCOMPARE(app.PortEntries(), QStringList({"COM1", "COM2", "COM3", "COM4"}));
    }
    CVelkorApp app(kChinese);
    QCOMPARE(app.PortEntries().size(), 14);
    QCOMPARE(app.PortEntries().first(), QString("COM1"));
    QCOMPARE(app.PortEntries().last(), QString("COM14"));
}

void TestVelkorApp::setupShowsEachPortsDeviceAndCancelKeepsTheMap_data() {
    QTest::addColumn<CVelkorApp::Edition>("edition");
    QTest::addColumn<QString>("none");
    QTest::addColumn<QString>("absent");
    QTest::addColumn<QString>("variableSet");
    QTest::newRow("en") << kEnglish << "(none)"
                        << "not present"
                        << "COM3 is set in the environment";
    QTest::newRow("zh") << kChinese << "(无)"
                        << "未接入"
                        << "已设置环境变量COM3";
}

void TestVelkorApp::setupShowsEachPortsDeviceAndCancelKeepsTheMap() {
    QFETCH(CVelkorApp::Edition, edition);
    QFETCH(QString, none);
    QFETCH(QString, absent);
    QFETCH(QString, variableSet);
    CPortMapFixture map({{"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0",
                          "/dev/ttyUSB0", "FTDI", "FT232R USB UART"}});
    const QByteArray before = "; mine\n[Ports]\nCOM2=/dev/serial/by-id/usb-gone\n";
    map.Write(before);
    const QString terminal = map.Folder() + "/terminal";
    QVERIFY(QFile(terminal).open(QIODevice::WriteOnly));
    ::setenv("COM3", qPrintable(terminal), 1);
    CVelkorApp app(edition);
    CSetupDlg dlg(&app, nullptr);
    QComboBox* ports = dlg.PortList();
    CPortDevicePicker* devices = dlg.DeviceList();
    const QString gone = "/dev/serial/by-id/usb-gone — " + absent;
    QCOMPARE(Shown(dlg, 0), DefaultShown("COM1", absent));
    QCOMPARE(Shown(dlg, 1), "COM2  (" + gone + ")");
    QCOMPARE(Shown(dlg, 2), "COM3  (" + terminal + ")");
    QCOMPARE(Shown(dlg, 3), DefaultShown("COM4", absent));

    // A bound device stays listed while it is unplugged.
    ports->setCurrentIndex(1);
    QCOMPARE(devices->currentText(), gone);
    // The environment wins over the map, so the map cannot change what COM3 opens.
    ports->setCurrentIndex(2);
    QVERIFY(!devices->isEnabled());
    QCOMPARE(devices->currentText(), terminal);
    QCOMPARE(devices->toolTip(), variableSet);

    ports->setCurrentIndex(0);
    QVERIFY(devices->isEnabled());
    QCOMPARE(devices->currentText(), none);
    const QString ftdi = "/dev/ttyUSB0 — FTDI FT232R USB UART";
    devices->setCurrentIndex(devices->findText(ftdi));
    QCOMPARE(Shown(dlg, 0), "COM1  (" + ftdi + ")");
    QCOMPARE(ports->currentText(), QString("COM1"));
    // A path the list does not offer can be typed.
    devices->lineEdit()->setText("/dev/ttyTyped");
    emit devices->lineEdit()->editingFinished();
    QCOMPARE(Shown(dlg, 0), "COM1  (/dev/ttyTyped — " + absent + ")");
    dlg.reject();
    QCOMPARE(map.Text(), before);
}

void TestVelkorApp::setupOkBindsChosenDeviceAndConnectGoesThroughIt() {
    // No variable names the simulator: only the map does, once the dialog has bound it.
    CSimFixture sim({.inProcess = true});
    QS_REQUIRE_SIM(sim);
    const std::string pty = sim.Sim().SlavePath();
    CPortMapFixture map({{pty, pty, "Corvale", "Cradle"}});
    CVelkorSettings().SetAutoLink(0);
    CVelkorApp app(kEnglish);
    CMainFrame* frame = app.InitInstance({});
    {
        CSetupDlg dlg(&app, frame);
        QCOMPARE(dlg.PortList()->currentText(), QString("COM1"));
        dlg.DeviceList()->setCurrentIndex(dlg.DeviceList()->findData(QString::fromStdString(pty)));
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }
    QCOMPARE(map.Text(), QByteArray("[Ports]\nCOM1=") + QByteArray::fromStdString(pty) + "\n");
    frame->OnConnect();
    QVERIFY(app.Connected());
    QCOMPARE(frame->LeftView()->DevicesItem()->childCount(), 1);
}

void TestVelkorApp::setupThatCannotSaveThePortMapSaysWhyAndKeepsEverything() {
    QS_POSIX_ONLY("names a serial device by path");
    CPortMapFixture map({{"/dev/ttyUSB0", "/dev/ttyUSB0", "", ""}});
    // A file where the map's folder would go.
    QVERIFY(QFile(map.Folder() + "/Corvale").open(QIODevice::WriteOnly));
    CVelkorApp app(kEnglish);
    CSetupDlg dlg(&app, nullptr);
    dlg.PortList()->setCurrentIndex(1);
    dlg.DeviceList()->setCurrentIndex(dlg.DeviceList()->findText("/dev/ttyUSB0"));
    CModalDriver driver;
    QString seen;
    driver.Then([&](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            seen = box->text();
            box->accept();
        }
    });
    dlg.accept();
    QVERIFY2(
        seen.startsWith("Cannot save the port map: cannot create " + map.Folder() + "/Corvale: "),
        qPrintable(seen));
    QVERIFY(dlg.result() != QDialog::Accepted);
    QCOMPARE(CVelkorSettings().Port(), 1);
    QCOMPARE(Shown(dlg, 1), QString("COM2  (/dev/ttyUSB0)"));
}

void TestVelkorApp::connectCommandConnectsAndShowsDeviceItem_data() {
    QTest::addColumn<CVelkorApp::Edition>("edition");
    QTest::addColumn<QString>("title");
    QTest::newRow("en") << kEnglish << " Quayside [Connected]";
    QTest::newRow("zh") << kChinese << " Quayside浏览器 [有连接]";
}

void TestVelkorApp::connectCommandConnectsAndShowsDeviceItem() {
    QFETCH(CVelkorApp::Edition, edition);
    QFETCH(QString, title);
    CSimFixture sim({.port = 1});
    QS_REQUIRE_SIM(sim);
    CVelkorSettings().SetAutoLink(0);
    CVelkorApp app(edition);
    CMainFrame* frame = app.InitInstance({});
    QVERIFY(!app.Connected());
    frame->OnConnect();
    QVERIFY(app.Connected());
    QCOMPARE(frame->windowTitle(), title);
    CLeftView* tree = frame->LeftView();
    QCOMPARE(tree->DevicesItem()->childCount(), 1);
    QTreeWidgetItem* device = tree->DevicesItem()->child(0);
    QCOMPARE(device->text(0), QString("ZOT_0_1"));
    QCOMPARE(tree->PathOf(device), QString("ZOT:"));
    QCOMPARE(device->childCount(), 0);
    // The root is selected again and the list shows its two entries.
    QCOMPARE(tree->CurrentFolderItem(), tree->RootItem());
    QCOMPARE(tree->CurrentPath(), QString());
}

void TestVelkorApp::cancelledConnectWhileConnectedDropsDeviceItemAndLaterConnectWorks() {
    CSimFixture sim({.port = 1, .inProcess = true});
    QS_REQUIRE_SIM(sim);
    CVelkorApp app(kEnglish);
    CMainFrame* frame = app.InitInstance({});
    QVERIFY(app.Connected());
    QCOMPARE(frame->LeftView()->DevicesItem()->childCount(), 1);

    // Replies now come late, so the next attempt is still running when it is cancelled.
    zotsim::Fault slow;
    slow.kind = zotsim::Fault::Kind::kDelay;
    slow.request = 0;
    slow.command = -1;
    slow.delayMs = 1500;
    slow.count = 4;
    sim.Sim().AddFault(slow);
    CModalDriver driver;
    bool closedAtOnce = false;
    const uint32_t before = sim.Sim().RequestCount();
    driver.Then([&](QWidget* w) {
        QVERIFY(qobject_cast<CConnectDlg*>(w));
        // Cancel once the worker is inside the library, waiting for the late reply.
        QTRY_VERIFY(sim.Sim().RequestCount() > before);
        static_cast<QDialog*>(w)->reject();
        closedAtOnce = !w->isVisible();
    });
    frame->OnConnect();
    // The dialog closed while its worker was still waiting for the terminal.
    QVERIFY(CJobRegistry::Running() > 0);
    QVERIFY(closedAtOnce);
    QVERIFY(!app.Connected());
    QCOMPARE(frame->windowTitle(), QString(" Quayside [No devices connected]"));
    QCOMPARE(frame->LeftView()->DevicesItem()->childCount(), 0);

    // The abandoned worker's late success does not make the program think it is connected.
    QTRY_COMPARE_WITH_TIMEOUT(CJobRegistry::Running(), 0, 10000);
    QVERIFY(!app.Connected());

    // And a later Connect works.
    sim.Sim().ClearFaults();
    frame->OnConnect();
    QVERIFY(app.Connected());
    QCOMPARE(frame->LeftView()->DevicesItem()->childCount(), 1);
}

void TestVelkorApp::failedOpenShowsExactFailureTextAndWhy_data() {
    QTest::addColumn<CVelkorApp::Edition>("edition");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("okText");
    QTest::newRow("en")
        << kEnglish
        << "Initialize RPC fail, please comfirm that COM port is not used by other program !\n"
           "The port /nonexistent/velkor-tty did not open: no such device."
        << "OK";
    QTest::newRow("zh") << kChinese
                        << "初始化RPC出错，请确认COM没有被其它程序使用!\n"
                           "端口/nonexistent/velkor-tty无法打开：没有这个设备。"
                        << "确定";
}

void TestVelkorApp::failedOpenShowsExactFailureTextAndWhy() {
    QS_POSIX_ONLY("names a serial device by path");
    QFETCH(CVelkorApp::Edition, edition);
    QFETCH(QString, text);
    QFETCH(QString, okText);
    ::setenv("COM1", "/nonexistent/velkor-tty", 1);
    CModalDriver driver;
    QString seen, button;
    bool dialogStayedOpen = false;
    driver.OnEvery([&](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            seen = box->text();
            button = box->buttons().value(0) ? box->buttons().value(0)->text() : QString();
            box->accept();
        } else if (auto* dlg = qobject_cast<CConnectDlg*>(w); dlg && !seen.isEmpty()) {
            // Back to the connection dialog after the message: it stayed open.
            dialogStayedOpen = dlg->isVisible();
            dlg->reject();
        }
    });
    CVelkorApp app(edition);
    app.InitInstance({});
    QCOMPARE(seen, text);
    QCOMPARE(button, okText);
    QVERIFY(dialogStayedOpen);
    QVERIFY(!app.Connected());
}

void TestVelkorApp::windowSizeAndSplitterComeBackAtNextStart() {
    CVelkorSettings().SetAutoLink(0);
    QList<int> panes;
    {
        CVelkorApp app(kEnglish);
        CMainFrame* frame = app.InitInstance({});
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        frame->resize(610, 430);
        auto* splitter = qobject_cast<QSplitter*>(frame->centralWidget());
        splitter->setSizes({150, 460});
        QTRY_COMPARE(frame->size(), QSize(610, 430));
        panes = splitter->sizes();
        // Moved off the tree's share of a first start.
        QVERIFY(panes.value(0) < 170);
        QVERIFY(frame->close());
    }
    CVelkorApp app(kChinese);
    CMainFrame* frame = app.InitInstance({});
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    QCOMPARE(frame->size(), QSize(610, 430));
    QCOMPARE(qobject_cast<QSplitter*>(frame->centralWidget())->sizes(), panes);
}

QTEST_MAIN(TestVelkorApp)
#include "tst_velkor_app.moc"
