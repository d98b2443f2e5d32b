// Device paths, the size, time and type texts, the settings base and the words for a failed
// connect.
#include <QStandardPaths>
#include <QtTest>
#include <cerrno>
#include <cstring>

#include "CConnectFailure.h"
#include "CDevicePath.h"
#include "CSettingsBase.h"
#include "CTextFormats.h"
#include "CVolumes.h"

class TestCoreRules : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void devicePathIsExactlyTheZotPrefix();
    void entryPathsAndBareNames();
    void unsafeTerminalNamesNeverBecomePcPaths_data();
    void unsafeTerminalNamesNeverBecomePcPaths();
    void pcSizeIsBytesBelowOneKibElseTruncatedKb();
    void terminalSizeIsUnsignedAbove2GiB();
    void terminalTimeIsUtcWithoutZoneShiftAndUnknownForZero();
    void driveSpaceUsesGbWithTwoDecimalsAboveOneGbElseDoubleBracketMb();
    void storeSpaceInKb();
    void fallbackTypeUsesTheLastCharactersThatExist();
    void settingsReadDefaultsAndWrite();
    void settingsKeepWindowStateBesideConnectionValues();
    void connectFailureSaysWhyUnderTheMessage_data();
    void connectFailureSaysWhyUnderTheMessage();
    void pseudoFileSystemsAreNotDrives();
};

void TestCoreRules::devicePathIsExactlyTheZotPrefix() {
    QVERIFY(CDevicePath::IsDevicePath("ZOT:"));
    QVERIFY(CDevicePath::IsDevicePath("ZOT:\\a.txt"));
    QVERIFY(CDevicePath::IsDevicePath("ZOTX"));
    QVERIFY(!CDevicePath::IsDevicePath("zot:"));
    QVERIFY(!CDevicePath::IsDevicePath("/ZOT:"));
    QVERIFY(!CDevicePath::IsDevicePath("ZO"));
    QCOMPARE(CDevicePath::RootPattern(), QString("ZOT:\\*.*"));
}

void TestCoreRules::entryPathsAndBareNames() {
    QCOMPARE(CDevicePath::EntryPath("a.txt"), QString("ZOT:\\a.txt"));
    QCOMPARE(CDevicePath::BareName("ZOT:\\a.txt"), QString("a.txt"));
    QCOMPARE(CDevicePath::JoinPc("/", "a"), QString("/a"));
    QCOMPARE(CDevicePath::JoinPc("/home/u", "a"), QString("/home/u/a"));
}

void TestCoreRules::unsafeTerminalNamesNeverBecomePcPaths_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");
    QTest::newRow("plain") << "report.txt" << true;
    QTest::newRow("chinese") << "盘点.txt" << true;
    QTest::newRow("dots inside") << "a..b" << true;
    QTest::newRow("slash") << "../etc/passwd" << false;
    QTest::newRow("inner slash") << "a/b" << false;
    QTest::newRow("backslash") << "a\\b" << false;
    QTest::newRow("dot") << "." << false;
    QTest::newRow("dotdot") << ".." << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("nul") << QString("a") + QChar(0) + "b" << false;
}

void TestCoreRules::unsafeTerminalNamesNeverBecomePcPaths() {
    QFETCH(QString, name);
    QFETCH(bool, safe);
    QCOMPARE(CDevicePath::IsSafeName(name), safe);
    const auto path = CDevicePath::PcPathFor("/tmp/in", name);
    QCOMPARE(path.has_value(), safe);
    if (safe) QCOMPARE(*path, "/tmp/in/" + name);
    QVERIFY(!CDevicePath::PcPathFor("ZOT:", "a.txt").has_value());
}

void TestCoreRules::pcSizeIsBytesBelowOneKibElseTruncatedKb() {
    QCOMPARE(CTextFormats::PcSize(0), QString("0 B"));
    QCOMPARE(CTextFormats::PcSize(1023), QString("1023 B"));
    QCOMPARE(CTextFormats::PcSize(1024), QString("1 KB"));
    QCOMPARE(CTextFormats::PcSize(2047), QString("1 KB"));
    QCOMPARE(CTextFormats::PcSize(5LL * 1024 * 1024 * 1024), QString("5242880 KB"));
}

void TestCoreRules::terminalSizeIsUnsignedAbove2GiB() {
    QCOMPARE(CTextFormats::DeviceSize(1023, "%u bytes"), QString("1023 bytes"));
    QCOMPARE(CTextFormats::DeviceSize(0x80000000u, "%u bytes"), QString("2147483648 bytes"));
    QCOMPARE(CTextFormats::DeviceSize(0xFFFFFFFFu, "%u字节"), QString("4294967295字节"));
}

void TestCoreRules::terminalTimeIsUtcWithoutZoneShiftAndUnknownForZero() {
    qputenv("TZ", "Asia/Shanghai");
    QCOMPARE(CTextFormats::DeviceTime(0, "Unknown"), QString("Unknown"));
    QCOMPARE(CTextFormats::DeviceTime(1, "Unknown"), QString("1970-01-01 00:00:01"));
    QCOMPARE(CTextFormats::DeviceTime(1700000000, "x"), QString("2023-11-14 22:13:20"));
    // After 2038 the unsigned count is still a date.
    QCOMPARE(CTextFormats::DeviceTime(0x80000000u, "x"), QString("2038-01-19 03:14:08"));
    qunsetenv("TZ");
}

void TestCoreRules::driveSpaceUsesGbWithTwoDecimalsAboveOneGbElseDoubleBracketMb() {
    const QString gb = "%.2f GB(%.0f MB free)";
    const QString mb = "%.0f MB((%.0f MB free))";
    QCOMPARE(CTextFormats::DriveSpace(40960, 10240, gb, mb), QString("40.00 GB(10240 MB free)"));
    QCOMPARE(CTextFormats::DriveSpace(700, 12, gb, mb), QString("700 MB((12 MB free))"));
    QCOMPARE(CTextFormats::DriveSpace(1024, 1, gb, mb), QString("1024 MB((1 MB free))"));
    QCOMPARE(CTextFormats::DriveSpace(700, 12, "%.2f GB(剩余%.0f MB)", "%.0f MB((剩余%.0f MB))"),
             QString("700 MB((剩余12 MB))"));
}

void TestCoreRules::storeSpaceInKb() {
    QCOMPARE(CTextFormats::StoreSpace(64 * 1024 * 1024, 1024 * 1024, "%.0f KB(%.0f KB free)"),
             QString("65536 KB(1024 KB free)"));
    QCOMPARE(CTextFormats::StoreSpace(0, 0, "%.0f KB(%.0f KB free)"), QString("0 KB(0 KB free)"));
}

void TestCoreRules::fallbackTypeUsesTheLastCharactersThatExist() {
    QCOMPARE(CTextFormats::FallbackType("data.xyz"), QString("XYZ 文件"));
    QCOMPARE(CTextFormats::FallbackType("ab"), QString("AB 文件"));
    QCOMPARE(CTextFormats::FallbackType(""), QString(" 文件"));
}

void TestCoreRules::settingsReadDefaultsAndWrite() {
    CSettingsBase s("CorvaleTest", "CoreRules", "Settings");
    s.Clear();
    QCOMPARE(s.ReadInt("Port", 1), 1);
    s.WriteInt("Port", 3);
    QCOMPARE(s.ReadInt("Port", 1), 3);
    CSettingsBase other("CorvaleTest", "CoreRules", "Settings");
    QCOMPARE(other.ReadInt("Port", 1), 3);
    s.Clear();
    QCOMPARE(other.ReadInt("Port", 7), 7);
}

void TestCoreRules::settingsKeepWindowStateBesideConnectionValues() {
    CSettingsBase s("CorvaleTest", "CoreRules", "Settings");
    s.Clear();
    QVERIFY(s.WindowGeometry().isEmpty());
    QVERIFY(s.SplitterState().isEmpty());
    s.SetPort(4);
    const QByteArray geometry("\x01\xd9\xd0\xcb\x00\x03", 6), splitter("\x00\xff\x00", 3);
    s.SetWindowGeometry(geometry);
    s.SetSplitterState(splitter);
    CSettingsBase other("CorvaleTest", "CoreRules", "Settings");
    QCOMPARE(other.WindowGeometry(), geometry);
    QCOMPARE(other.SplitterState(), splitter);
    QCOMPARE(other.Port(), 4);
    QCOMPARE(other.Rate(), CSettingsBase::kDefaultRate);
    s.Clear();
}

void TestCoreRules::connectFailureSaysWhyUnderTheMessage_data() {
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("text");
    const QString head = "It failed !\n";
    QTest::newRow("missing") << ENOENT << head + "/dev/ttyUSB7 did not open: [missing]";
    QTest::newRow("permission") << EACCES
                                << head + "/dev/ttyUSB7 did not open: [permission]\nJoin dialout";
    QTest::newRow("in use") << EBUSY << head + "/dev/ttyUSB7 did not open: [in use]";
    QTest::newRow("not serial") << ENOTTY << head + "/dev/ttyUSB7 did not open: [not serial]";
    QTest::newRow("refused speed") << EINVAL << head + "/dev/ttyUSB7 did not open: [speed]";
    QTest::newRow("other") << EIO
                           << head + "/dev/ttyUSB7 did not open: " + QString(std::strerror(EIO));
    QTest::newRow("quiet") << 0 << head + "/dev/ttyUSB7 opened, nothing answered";
}

void TestCoreRules::connectFailureSaysWhyUnderTheMessage() {
    QFETCH(int, error);
    QFETCH(QString, text);
    CConnectFailure::Words words;
    words.didNotOpen = "%1 did not open: %2";
    words.reason = [](qs::OpenFailure failure, const QString& systemText) -> QString {
        switch (failure) {
            case qs::OpenFailure::kMissing:
                return "[missing]";
            case qs::OpenFailure::kPermissionDenied:
                return "[permission]";
            case qs::OpenFailure::kInUse:
                return "[in use]";
            case qs::OpenFailure::kNotSerial:
                return "[not serial]";
            case qs::OpenFailure::kSettingsRefused:
                return "[speed]";
            default:
                return systemText;
        }
    };
    words.permissionHint = "Join dialout";
    words.quiet = "%1 opened, nothing answered";
    QCOMPARE(CConnectFailure::Text("It failed !", "/dev/ttyUSB7", error, words), text);
}

void TestCoreRules::pseudoFileSystemsAreNotDrives() {
    QVERIFY(CVolumes::IsPseudoFileSystem("proc"));
    QVERIFY(CVolumes::IsPseudoFileSystem("tmpfs"));
    QVERIFY(!CVolumes::IsPseudoFileSystem("ext4"));
    for (const auto& v : CVolumes::Mounted()) QVERIFY(!v.rootPath.startsWith("/proc"));
}

QTEST_GUILESS_MAIN(TestCoreRules)
#include "tst_core_rules.moc"
