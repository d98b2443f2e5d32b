// The pieces of the copy and delete jobs both explorers share: the clipboard's file lists in
// every form and against hostile contents, the path rules, and the PC folder walks.
#include <sys/stat.h>

#include <QDir>
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <memory>

#include "CClipboardFiles.h"
#include "CJobPaths.h"
#include "CJobProgressMeter.h"
#include "CPcFolderWalk.h"

namespace {
void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

class TestJobCore : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void ownFormKeepsDevicePathsAndOrder();
    void pcPathsTravelAsDesktopUrlsAndGnomeList();
    void desktopUrlsAloneArePasted();
    void urlsThatNameNoLocalFileAreNoFileList();
    void gnomeListAloneIsPasted();
    void hostileClipboardPathsAreDropped_data();
    void hostileClipboardPathsAreDropped();
    void ownFormSurvivesGarbage();
    void hugeListIsCapped();
    void sameOrInsideIsByComponentNotSubstring();
    void lastNameAndJoinPerSide();
    void deleteTreeRemovesReadOnlyAndHiddenButNotLinkTargets();
    void deleteTreeStopsWhenStopped();
    void copyTreeReplacesFilesAndMergesFolders();
    void copyTreeAsksAboutAFailedFileAndGoesOn();
    void copyTreeDoesNotFollowLinks();
    void progressRateIsOverTheLastSecondsAndSkippedFilesDoNotCount();
};

void TestJobCore::ownFormKeepsDevicePathsAndOrder() {
    const QStringList paths{"ZOT:\\b.txt", "/tmp/a b.txt", "ZOT:\\a.txt"};
    std::unique_ptr<QMimeData> data(CClipboardFiles::Make(paths));
    QVERIFY(CClipboardFiles::HasFiles(data.get()));
    QCOMPARE(CClipboardFiles::Read(data.get()), paths);
}

void TestJobCore::pcPathsTravelAsDesktopUrlsAndGnomeList() {
    std::unique_ptr<QMimeData> data(CClipboardFiles::Make({"/tmp/x y", "ZOT:\\d", "/tmp/盘"}));
    QCOMPARE(data->urls(),
             (QList<QUrl>{QUrl::fromLocalFile("/tmp/x y"), QUrl::fromLocalFile("/tmp/盘")}));
    QVERIFY(data->hasFormat("text/uri-list"));
    const QByteArray gnome = data->data(CClipboardFiles::GnomeMimeType());
    QCOMPARE(gnome, QByteArray("copy\nfile:///tmp/x%20y\nfile:///tmp/%E7%9B%98"));
}

void TestJobCore::urlsThatNameNoLocalFileAreNoFileList() {
    QMimeData data;
    data.setUrls({QUrl("https://example.org/x")});
    QVERIFY(!CClipboardFiles::HasFiles(&data));
}

void TestJobCore::desktopUrlsAloneArePasted() {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/home/u/one"), QUrl("https://example.org/x"),
                  QUrl::fromLocalFile("/home/u/two")});
    QVERIFY(CClipboardFiles::HasFiles(&data));
    QCOMPARE(CClipboardFiles::Read(&data), (QStringList{"/home/u/one", "/home/u/two"}));
}

void TestJobCore::gnomeListAloneIsPasted() {
    QMimeData data;
    data.setData(CClipboardFiles::GnomeMimeType(), "cut\nfile:///a/b%20c\n\nfile:///d\n");
    QVERIFY(CClipboardFiles::HasFiles(&data));
    QCOMPARE(CClipboardFiles::Read(&data), (QStringList{"/a/b c", "/d"}));
}

void TestJobCore::hostileClipboardPathsAreDropped_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("accepted");
    QTest::newRow("relative") << "etc/passwd"
                              << "";
    QTest::newRow("dotdot cleaned") << "/a/b/.."
                                    << "/a";
    QTest::newRow("dotdot at root") << "/.."
                                    << "";
    QTest::newRow("newline") << "/a\nb"
                             << "";
    QTest::newRow("control") << QString("/a") + QChar(1) << "";
    QTest::newRow("device without entry prefix") << "ZOTX/../etc"
                                                 << "";
    QTest::newRow("device root") << "ZOT:"
                                 << "ZOT:";
    QTest::newRow("device entry") << "ZOT:\\a"
                                  << "ZOT:\\a";
    QTest::newRow("too long") << "/" + QString(5000, 'a') << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestJobCore::hostileClipboardPathsAreDropped() {
    QFETCH(QString, path);
    QFETCH(QString, accepted);
    QCOMPARE(CClipboardFiles::Accept(path), accepted);
}

void TestJobCore::ownFormSurvivesGarbage() {
    QCOMPARE(CClipboardFiles::DecodeOwn(QByteArray()), QStringList());
    QCOMPARE(CClipboardFiles::DecodeOwn(QByteArray("\0/a\0", 4)), QStringList());
    QCOMPARE(CClipboardFiles::DecodeOwn(QByteArray("/a\0/b", 5)), (QStringList{"/a", "/b"}));
    QCOMPARE(CClipboardFiles::DecodeOwn(QByteArray("/\xff\xfe\0/ok\0\0", 9)), QStringList{"/ok"});
    // Random bytes never crash and never give a relative path.
    QRandomGenerator rng(7);
    for (int i = 0; i < 200; ++i) {
        QByteArray b(rng.bounded(64), '\0');
        for (char& c : b) c = static_cast<char>(rng.bounded(256));
        for (const QString& p : CClipboardFiles::DecodeOwn(b))
            QVERIFY(p.startsWith('/') || p.startsWith("ZOT:"));
    }
}

void TestJobCore::hugeListIsCapped() {
    QByteArray b;
    for (int i = 0; i < CClipboardFiles::kMaxPaths + 50; ++i)
        b += "/f" + QByteArray::number(i) + '\0';
    QCOMPARE(CClipboardFiles::DecodeOwn(b).size(), CClipboardFiles::kMaxPaths);
}

void TestJobCore::sameOrInsideIsByComponentNotSubstring() {
    QVERIFY(CJobPaths::IsSameOrInside("/a", "/a"));
    QVERIFY(CJobPaths::IsSameOrInside("/a", "/a/x"));
    QVERIFY(CJobPaths::IsSameOrInside("/a", "/a/b/a"));
    QVERIFY(!CJobPaths::IsSameOrInside("/a", "/ab/a"));
    QVERIFY(!CJobPaths::IsSameOrInside("/a/b", "/a/bc/b"));
    QVERIFY(CJobPaths::IsSameOrInside("ZOT:\\f", "ZOT:\\f"));
    QVERIFY(!CJobPaths::IsSameOrInside("ZOT:\\f", "ZOT:\\fg\\f"));
    QVERIFY(!CJobPaths::IsSameOrInside("/x", "ZOT:\\x"));
}

void TestJobCore::lastNameAndJoinPerSide() {
    QCOMPARE(CJobPaths::LastName("/a/b.txt"), QString("b.txt"));
    QCOMPARE(CJobPaths::LastName("/a/b\\c"), QString("b\\c"));
    QCOMPARE(CJobPaths::LastName("ZOT:\\sub\\n"), QString("n"));
    QCOMPARE(CJobPaths::Join("ZOT:", "n"), QString("ZOT:\\n"));
    QCOMPARE(CJobPaths::Join("/", "n"), QString("/n"));
    QCOMPARE(CJobPaths::Join("/a", "n"), QString("/a/n"));
}

void TestJobCore::deleteTreeRemovesReadOnlyAndHiddenButNotLinkTargets() {
    QTemporaryDir dir;
    QTemporaryDir outside;
    Write(outside.path() + "/keep", "k");
    const QString f = dir.path() + "/f";
    QVERIFY(QDir().mkpath(f + "/sub"));
    Write(f + "/.hidden", "h");
    Write(f + "/sub/ro", "r");
    QFile::setPermissions(f + "/sub/ro", QFile::ReadOwner);
    QVERIFY(CPcFolderWalk::IsReadOnly(f + "/sub/ro"));
    QVERIFY(QFile::link(outside.path(), f + "/link"));
    QStringList names;
    CPcFolderWalk::Hooks hooks;
    hooks.current = [&](const QString& n) { names << n; };
    QVERIFY(CPcFolderWalk::DeleteTree(f, hooks));
    QVERIFY(!QFileInfo::exists(f));
    QVERIFY(QFileInfo::exists(outside.path() + "/keep"));
    QVERIFY(names.contains("ro"));
    QVERIFY(!CPcFolderWalk::IsFolder(f));  // vanished: not a folder
}

void TestJobCore::deleteTreeStopsWhenStopped() {
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.path() + "/f"));
    Write(dir.path() + "/f/a", "a");
    bool failed = false;
    CPcFolderWalk::Hooks hooks;
    hooks.stopped = [] { return true; };
    hooks.fileDeleteFailed = [&](const QString&) { failed = true; };
    QVERIFY(!CPcFolderWalk::DeleteTree(dir.path() + "/f", hooks));
    QVERIFY(QFileInfo::exists(dir.path() + "/f/a"));
    QVERIFY(!failed);
}

void TestJobCore::copyTreeReplacesFilesAndMergesFolders() {
    QTemporaryDir src, dst;
    QVERIFY(QDir().mkpath(src.path() + "/s/deep"));
    Write(src.path() + "/s/a", "new");
    Write(src.path() + "/s/deep/b", "bbb");
    QVERIFY(QDir().mkpath(dst.path() + "/s/deep"));
    Write(dst.path() + "/s/a", "old-old");
    CPcFolderWalk::Hooks hooks;
    hooks.copyFile = [](const QString& from, const QString& to) {
        QFile::remove(to);
        return QFile::copy(from, to) ? 100 : 102;
    };
    QVERIFY(CPcFolderWalk::CopyTree(src.path() + "/s", dst.path() + "/s", hooks));
    QCOMPARE(ReadAll(dst.path() + "/s/a"), QByteArray("new"));
    QCOMPARE(ReadAll(dst.path() + "/s/deep/b"), QByteArray("bbb"));
}

void TestJobCore::copyTreeAsksAboutAFailedFileAndGoesOn() {
    QTemporaryDir src, dst;
    Write(src.path() + "/bad", "x");
    Write(src.path() + "/good", "y");
    QStringList asked;
    CPcFolderWalk::Hooks hooks;
    hooks.copyFile = [](const QString& from, const QString& to) {
        return !from.endsWith("bad") && QFile::copy(from, to) ? 100 : 102;
    };
    hooks.fileCopyFailed = [&](const QString& from, int) {
        asked << from;
        return CPcFolderWalk::Next::GoOn;
    };
    QVERIFY(CPcFolderWalk::CopyTree(src.path(), dst.path(), hooks));
    QCOMPARE(asked, QStringList{src.path() + "/bad"});
    QCOMPARE(ReadAll(dst.path() + "/good"), QByteArray("y"));
    hooks.fileCopyFailed = [](const QString&, int) { return CPcFolderWalk::Next::Stop; };
    QVERIFY(!CPcFolderWalk::CopyTree(src.path(), dst.path(), hooks));
}

void TestJobCore::copyTreeDoesNotFollowLinks() {
    QTemporaryDir src, dst;
    QVERIFY(QFile::link(src.path(), src.path() + "/loop"));
    int copies = 0;
    QStringList refused;
    CPcFolderWalk::Hooks hooks;
    hooks.copyFile = [&](const QString&, const QString&) { return ++copies < 100 ? 100 : 102; };
    hooks.fileCopyFailed = [&](const QString& from, int) {
        refused << from;
        return CPcFolderWalk::Next::GoOn;
    };
    QVERIFY(CPcFolderWalk::CopyTree(src.path(), dst.path(), hooks));
    // Refused like a file that cannot be read, never copied through.
    QCOMPARE(copies, 0);
    QCOMPARE(refused, QStringList{src.path() + "/loop"});
}

void TestJobCore::progressRateIsOverTheLastSecondsAndSkippedFilesDoNotCount() {
    int64_t now = 0;
    CJobProgressMeter meter([&] { return now; });
    meter.Begin(3, 30000);
    CJobProgress f = meter.Figures();
    QCOMPARE(f.fileCount, 3);
    QVERIFY(f.bytesPerSecond < 0 && f.secondsLeft < 0);
    // File 1 (10000 bytes) moves at 1000 bytes a second.
    meter.StartFile(1, 10000);
    for (int s = 1; s <= 10; ++s) {
        now = s * 1000;
        meter.FileMoved(uint64_t(s) * 1000);
    }
    meter.EndFile();
    f = meter.Figures();
    QCOMPARE(f.fileIndex, 1);
    QCOMPARE(f.bytesDone, uint64_t(10000));
    QCOMPARE(f.bytesPerSecond, 1000.0);
    QCOMPARE(f.secondsLeft, 20.0);
    // File 2 is skipped at once: done, but it did not move.
    meter.StartFile(2, 10000);
    meter.SkipFile();
    f = meter.Figures();
    QCOMPARE(f.bytesDone, uint64_t(20000));
    QCOMPARE(f.bytesPerSecond, 1000.0);
    QCOMPARE(f.secondsLeft, 10.0);
    // File 3 moves at 2000 bytes a second: once the window has passed, the old pace is gone.
    meter.StartFile(3, 10000);
    const int64_t start = now;
    for (int q = 1; q <= 10; ++q) {
        now = start + q * 500;
        meter.FileMoved(uint64_t(q) * 1000);
    }
    f = meter.Figures();
    QCOMPARE(f.fileIndex, 3);
    QCOMPARE(f.bytesDone, uint64_t(30000));
    QCOMPARE(f.bytesPerSecond, 2000.0);
    QCOMPARE(f.secondsLeft, 0.0);
}

QTEST_GUILESS_MAIN(TestJobCore)
#include "tst_job_core.moc"
