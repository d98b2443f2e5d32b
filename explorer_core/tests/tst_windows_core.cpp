// The core's Windows side: settings as registry DWORDs, drive letters, Windows paths and the
// read-only attribute of what a job deletes.
// Lean: winspool.h would rename SetPort.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "CClipboardFiles.h"
#include "CPcFolderWalk.h"
#include "CSettingsBase.h"
#include "CVolumes.h"

class TestWindowsCore : public QObject {
    Q_OBJECT
  private slots:
    void settingsAreDwordsUnderTheUsersSoftwareKey();
    void drivesAreLettersWithTheSystemDriveFixed();
    void clipboardTakesDriveAndSharePathsOnly();
    void deleteTreeRemovesReadOnlyFiles();
};

void TestWindowsCore::settingsAreDwordsUnderTheUsersSoftwareKey() {
    CSettingsBase settings(QStringLiteral("Corvale"), QStringLiteral("QuaysideTest"),
                           QStringLiteral("Settings"));
    settings.SetPort(7);
    settings.SetRate(57600);
    settings.SetCompress(0);
    settings.SetAutoLink(1);
    const struct {
        const wchar_t* name;
        DWORD value;
    } expected[] = {{L"Port", 7}, {L"Rate", 57600}, {L"Compress", 0}, {L"AutoLink", 1}};
    for (const auto& e : expected) {
        DWORD type = 0, value = 0, size = sizeof value;
        const LSTATUS rc =
            RegGetValueW(HKEY_CURRENT_USER, L"Software\\Corvale\\QuaysideTest\\Settings", e.name,
                         RRF_RT_ANY, &type, &value, &size);
        QCOMPARE(rc, LSTATUS(ERROR_SUCCESS));
        QCOMPARE(type, DWORD(REG_DWORD));
        QCOMPARE(value, e.value);
    }
    // What another program left as a DWORD reads back as the number.
    QCOMPARE(CSettingsBase(QStringLiteral("Corvale"), QStringLiteral("QuaysideTest"),
                           QStringLiteral("Settings"))
                 .Rate(),
             57600);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Corvale\\QuaysideTest");
}

void TestWindowsCore::drivesAreLettersWithTheSystemDriveFixed() {
    const auto volumes = CVolumes::Mounted();
    QVERIFY(!volumes.empty());
    bool systemDrive = false;
    for (const auto& v : volumes) {
        QVERIFY2(QRegularExpression(QStringLiteral("^[A-Z]:/$")).match(v.rootPath).hasMatch(),
                 qPrintable(v.rootPath));
        QCOMPARE(v.shown, v.rootPath.left(2));
        if (v.rootPath == QDir::rootPath()) systemDrive = v.kind == CVolumes::Kind::Fixed;
    }
    QVERIFY(systemDrive);
}

void TestWindowsCore::clipboardTakesDriveAndSharePathsOnly() {
    QCOMPARE(CClipboardFiles::Accept(QStringLiteral("C:/Users/a/../b.txt")),
             QStringLiteral("C:/Users/b.txt"));
    QCOMPARE(CClipboardFiles::Accept(QStringLiteral("C:\\Users\\b.txt")),
             QStringLiteral("C:/Users/b.txt"));
    QVERIFY(!CClipboardFiles::Accept(QStringLiteral("//server/share/b.txt")).isEmpty());
    // Relative to a current drive or folder: no one place.
    QVERIFY(CClipboardFiles::Accept(QStringLiteral("C:b.txt")).isEmpty());
    QVERIFY(CClipboardFiles::Accept(QStringLiteral("/b.txt")).isEmpty());
    QVERIFY(CClipboardFiles::Accept(QStringLiteral("b.txt")).isEmpty());
}

void TestWindowsCore::deleteTreeRemovesReadOnlyFiles() {
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/tree");
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/sub")));
    const QString file = folder + QStringLiteral("/sub/locked.txt");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QVERIFY(
        SetFileAttributesW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(file).utf16()),
                           FILE_ATTRIBUTE_READONLY));
    QVERIFY(CPcFolderWalk::IsReadOnly(file));
    QVERIFY(CPcFolderWalk::DeleteTree(folder, {}));
    QVERIFY(!CPcFolderWalk::Exists(folder));
}

QTEST_GUILESS_MAIN(TestWindowsCore)
#include "tst_windows_core.moc"
