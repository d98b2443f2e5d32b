// The paste and delete jobs' rules, run on the test's thread against real PC folders: a host
// that answers from a script, views that remember what they were told, and a backend that
// copies PC files with the block copy.
#include <sys/stat.h>

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>

#include "CDeleteJob.h"
#include "CPasteJob.h"
#include "pc_file.h"

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

class Host : public IJobHost {
  public:
    std::deque<int> answers;
    QList<CJobQuestion> asked;
    int32_t status = 0, cancel = 0;

    int32_t* StatusWord() override { return &status; }
    int32_t* CancelWord() override { return &cancel; }
    int32_t Status() const override { return status; }
    void SetStatus(int32_t value) override { status = value; }
    bool CancelRequested() const override { return cancel != 0; }
    bool StopRequested() const override { return cancel != 0; }
    void SetCurrent(const QString&) override {}
    void CallUi(std::function<void()> fn) override { fn(); }
    int Ask(const CJobQuestion& q) override {
        asked << q;
        if (answers.empty()) return CJobQuestion::kCancel;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
};

class Views : public IJobViews {
  public:
    QString current;
    int currentDeleted = 0;
    QStringList created, written;
    QString CurrentPath() const override { return current; }
    int SelectedCount() const override { return 0; }
    bool FirstSelectedName(QString*) const override { return false; }
    bool HasRow(const QString&) const override { return false; }
    void FolderCreated(const QString& name, const QString&) override { created << name; }
    void EntryDeleted(const QString&) override {}
    void CurrentFolderDeleted() override { ++currentDeleted; }
    void PcFileWritten(const QFileInfo& info) override { written << info.fileName(); }
    void DeviceFileWritten(const IDeviceBackend::Entry& e) override { written << e.name; }
};

class PcBackend : public IDeviceBackend {
  public:
    bool Open(int, int, bool) override { return true; }
    bool QueryVersion() override { return true; }
    void Close() override {}
    bool StoreInfo(uint64_t*, uint64_t*) override { return false; }
    bool List(const QString&, const std::function<bool(const Entry&)>&) override { return false; }
    bool Copy(const QString& src, const QString& dst, int32_t* status, int32_t* cancel,
              bool) override {
        using zot::copy::CPcFile;
        auto in = CPcFile::OpenSource(QFile::encodeName(src).toStdString());
        auto out = in ? CPcFile::CreateDestination(QFile::encodeName(dst).toStdString()) : nullptr;
        *status = !in    ? zot::copy::kReadFailed
                  : !out ? zot::copy::kCreateFailed
                         : zot::copy::Copy(*in, *out, status, cancel);
        return true;
    }
    bool DeleteFile(const QString&) override { return false; }
    uint32_t Attributes(const QString&) override { return kNoAttributes; }
    bool SetAttributes(const QString&, uint32_t) override { return false; }
};

CJobPolicy Policy(bool velkor) {
    CJobPolicy p;
    p.outcome = [](int status) { return QString("<%1>").arg(status); };
    p.continueNext = " next?";
    p.overwriteQuestion = [](const QString& t) { return "overwrite " + t; };
    p.cannotCopyFolder = [](const QString& s) { return "folder " + s; };
    p.nameTooLong = [](const QString& n, int) { return "long " + n; };
    p.deleteFileFailed = [](const QString& n) { return "file " + n; };
    p.deleteFolderFailed = [](const QString& n) { return "folder " + n; };
    p.linkToFolder = [](const QString& s) { return "link " + s; };
    p.notAFile = [](const QString& s) { return "special " + s; };
    p.mergeIntoExistingFolder = velkor;
    p.askAfterFailureInFolder = velkor;
    return p;
}
}  // namespace

class TestJobs : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void mergedFolderAsksForEveryExistingFile();
    void failureInsideAFolderEndsThatFolderOrAsksWithItsCause();
    void linkedFolderDeleteRemovesTheLinkAndAVanishedOneIsReported();
    void linkToFolderAndNamedPipeAreRefusedWithTheirCause();

  private:
    Host m_host;
    Views m_views;
    PcBackend m_backend;
};

void TestJobs::mergedFolderAsksForEveryExistingFile() {
    QTemporaryDir src, dst;
    QVERIFY(QDir().mkpath(src.path() + "/s"));
    QVERIFY(QDir().mkpath(dst.path() + "/s"));
    for (const char* n : {"/s/a", "/s/b", "/top"}) {
        Write(src.path() + n, "new");
        Write(dst.path() + n, "old");
    }
    Write(src.path() + "/s/c", "new");
    m_views.current = dst.path();
    m_host.asked.clear();
    m_host.answers = {CJobQuestion::kNo, CJobQuestion::kAll};
    const CJobPolicy policy = Policy(true);
    QVERIFY(CPasteJob(m_host, m_views, m_backend, policy)
                .Run({src.path() + "/s", src.path() + "/top"}));
    // One of a and b was kept at "No", the other and all the rest replaced after "All".
    QCOMPARE(m_host.asked.size(), 2);
    QCOMPARE(m_host.asked[0].kind, CJobQuestion::Kind::Overwrite);
    QVERIFY((ReadAll(dst.path() + "/s/a") == "old") != (ReadAll(dst.path() + "/s/b") == "old"));
    QCOMPARE(ReadAll(dst.path() + "/s/c"), QByteArray("new"));
    QCOMPARE(ReadAll(dst.path() + "/top"), QByteArray("new"));
    QVERIFY(m_views.created.isEmpty());
}

void TestJobs::failureInsideAFolderEndsThatFolderOrAsksWithItsCause() {
    QTemporaryDir src, dst;
    QVERIFY(QDir().mkpath(src.path() + "/s/bad"));
    const QString fifo = src.path() + "/s/bad/pipe";
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    Write(src.path() + "/s/good", "g");
    Write(src.path() + "/later", "l");
    m_views.current = dst.path();
    m_host.asked.clear();
    // The transfer explorer: the pipe ends its folder only, silently; the rest is copied.
    const CJobPolicy tallow = Policy(false);
    QVERIFY(CPasteJob(m_host, m_views, m_backend, tallow)
                .Run({src.path() + "/s", src.path() + "/later"}));
    QCOMPARE(m_host.asked.size(), 0);
    QCOMPARE(ReadAll(dst.path() + "/s/good"), QByteArray("g"));
    QCOMPARE(ReadAll(dst.path() + "/later"), QByteArray("l"));
    QVERIFY(!QFile::exists(dst.path() + "/s/bad/pipe"));
    // The device explorer asks, naming the read failure rather than an unknown error.
    QTemporaryDir dst2;
    m_views.current = dst2.path();
    m_host.answers = {CJobQuestion::kYesButton};
    const CJobPolicy velkor = Policy(true);
    QVERIFY(CPasteJob(m_host, m_views, m_backend, velkor).Run({src.path() + "/s"}));
    QCOMPARE(m_host.asked.size(), 1);
    QCOMPARE(m_host.asked[0].text, "[" + fifo + "]<102> next?");
    QCOMPARE(ReadAll(dst2.path() + "/s/good"), QByteArray("g"));
}

void TestJobs::linkedFolderDeleteRemovesTheLinkAndAVanishedOneIsReported() {
    QTemporaryDir dir, outside;
    Write(outside.path() + "/keep", "k");
    const QString link = dir.path() + "/link";
    QVERIFY(QFile::link(outside.path(), link));
    m_views.current = link;
    m_views.currentDeleted = 0;
    m_host.asked.clear();
    const CJobPolicy policy = Policy(true);
    QVERIFY(CDeleteJob(m_host, m_views, m_backend, policy).Run(true));
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY(QFile::exists(outside.path() + "/keep"));
    QCOMPARE(m_views.currentDeleted, 1);
    QCOMPARE(m_host.asked.size(), 0);
    // Deleting what is no longer there says so and leaves the tree alone.
    QVERIFY(!CDeleteJob(m_host, m_views, m_backend, policy).Run(true));
    QCOMPARE(m_views.currentDeleted, 1);
    QCOMPARE(m_host.asked.size(), 1);
    QCOMPARE(m_host.asked[0].text, QString("folder link"));
}

void TestJobs::linkToFolderAndNamedPipeAreRefusedWithTheirCause() {
    QTemporaryDir src, dst, outside;
    Write(outside.path() + "/inside", "i");
    const QString link = src.path() + "/link", fifo = src.path() + "/pipe";
    QVERIFY(QFile::link(outside.path(), link));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    Write(src.path() + "/plain", "p");
    // A link to a file copies the file, as a plain file would be.
    QVERIFY(QFile::link(outside.path() + "/inside", src.path() + "/filelink"));
    m_views.current = dst.path();
    m_host.asked.clear();
    m_host.answers = {CJobQuestion::kYesButton, CJobQuestion::kYesButton};
    const CJobPolicy policy = Policy(true);
    QVERIFY(CPasteJob(m_host, m_views, m_backend, policy)
                .Run({link, fifo, src.path() + "/plain", src.path() + "/filelink"}));
    QCOMPARE(ReadAll(dst.path() + "/filelink"), QByteArray("i"));
    QCOMPARE(m_host.asked.size(), 2);
    QCOMPARE(m_host.asked[0].text, "link " + link);
    QCOMPARE(m_host.asked[1].text, "special " + fifo);
    QVERIFY(!QFileInfo::exists(dst.path() + "/link"));
    QVERIFY(!QFileInfo::exists(dst.path() + "/pipe"));
    QCOMPARE(ReadAll(dst.path() + "/plain"), QByteArray("p"));
}

QTEST_GUILESS_MAIN(TestJobs)
#include "tst_jobs.moc"
