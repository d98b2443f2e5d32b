// The frame's commands and the copy and delete jobs against the simulator and real folders:
// paste both ways through the clipboard, the desktop's URL form both ways, the refusals, the
// 16-byte rule in wire bytes, overwrite answers, delete with its questions, Cancel, and
// hostile clipboard contents.
#include <dirent.h>

#include <QClipboard>
#include <QDir>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>
#include <QtTest>
#include <cstdlib>
#include <cstring>
#include <deque>

#include "CClipboardFiles.h"
#include "CFileOpDlg.h"
#include "CJobRegistry.h"
#include "CLeftView.h"
#include "CMainFrame.h"
#include "CModalDriver.h"
#include "CPosixOnly.h"
#include "CSimFixture.h"
#include "CVelkorApp.h"
#include "CVelkorView.h"
#include "TreeItemForPath.h"
#include "simulator.h"

Q_DECLARE_METATYPE(CVelkorApp::Edition)

namespace {
// Names travel in GBK here, so a Chinese character takes two wire bytes. The library reads
// the setting once, before the first name crosses.
const bool kGbk = (::setenv("ZOTLINK_CODEPAGE", "GBK", 1), true);

const auto kEnglish = CVelkorApp::Edition::English;

QByteArray Pattern(int size, int seed) {
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i) b[i] = static_cast<char>((i * 31 + seed * 7 + i / 251) & 0xff);
    return b;
}
void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Byte lengths of a folder's entry names, sorted, whatever their encoding.
QList<int> RawNameLengths(const QString& folder) {
    QList<int> lengths;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) return lengths;
    while (dirent* e = ::readdir(dir)) {
        if (e->d_name[0] != '.') lengths << static_cast<int>(std::strlen(e->d_name));
    }
    ::closedir(dir);
    std::sort(lengths.begin(), lengths.end());
    return lengths;
}

// Answers the worker's questions in order and remembers them.
struct Answers {
    struct Asked {
        CJobQuestion::Kind kind;
        CJobQuestion::Owner owner;
        QString caption, text;
    };
    std::deque<int> queue;
    QList<Asked> asked;
    std::function<void(CFileJobDialog*)> onAsk;
    Answers() {
        CFileJobDialog::SetAsker([this](CFileJobDialog* d, const CJobQuestion& q) {
            asked.append({q.kind, q.owner, q.caption, q.text});
            if (onAsk) onAsk(d);
            if (queue.empty()) return int(QMessageBox::No);
            const int a = queue.front();
            queue.pop_front();
            return a;
        });
    }
    ~Answers() { CFileJobDialog::SetAsker({}); }
    QStringList Texts() const {
        QStringList t;
        for (const Asked& a : asked) t << a.text;
        return t;
    }
};
}  // namespace

class TestVelkorJobs : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pasteTerminalToPcAndBackIsByteIdenticalWithRowsSelected();
    void copyGivesDesktopUrlsAndDesktopUrlsPasteHere();
    void pasteOnMyComputerIsRefused_data();
    void pasteOnMyComputerIsRefused();
    void samePathRefusedButSiblingWithCommonPrefixAllowed();
    void sixteenWireBytesCopiedSeventeenRefused();
    void pcFolderToTerminalIsRefusedWithItsPrompt();
    void pcFolderCopiedRecursivelyAskingForFilesInside();
    void pasteSourceKeepsItsReadOnlyState();
    void overwriteAnswersYesAllNoCancel();
    void cancelMidCopyKeepsPartialFileWithoutMessage();
    void pulledLineMidCopyAsksAndContinuesToIdenticalFilesBothWays();
    void copiesKeepTheirTimesBothWays();
    void terminalFolderIsRefusedNamingItsCause();
    void deleteThreeRowsAsksMultiQuestionAndMovesProgress();
    void deleteFolderFromTree();
    void deleteFolderRowAsksFolderQuestion();
    void failedDeleteShowsExactText();
    void readOnlyFilesAreDeletedOnBothSides();
    void cancelReachesRunningDelete();
    void hostileClipboardNamesNeverWriteOutsideTheFolder();
    void commandsFollowTheEnableRules();

  private:
    void Start(bool connect, CVelkorApp::Edition edition = CVelkorApp::Edition::English);
    void Open(const QString& pcFolder);
    void OpenTerminal();
    void SelectRows(const QStringList& names);
    void SetClipboard(QMimeData* data) { QGuiApplication::clipboard()->setMimeData(data); }
    // Answers the delete question with answer; remembers its caption and text.
    void AnswerConfirm(int answer);

    std::unique_ptr<CSimFixture> m_sim;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CVelkorApp> m_app;
    std::unique_ptr<CModalDriver> m_driver;
    CMainFrame* m_frame = nullptr;
    QString m_confirmCaption, m_confirmText;
};

void TestVelkorJobs::initTestCase() {
    QVERIFY(kGbk);
    QStandardPaths::setTestModeEnabled(true);
}

void TestVelkorJobs::init() {
    CVelkorSettings().Clear();
    // Beside the build, on a real volume that the tree shows as a drive.
    m_dir = std::make_unique<QTemporaryDir>(QDir::currentPath() + "/velkor-jobs-XXXXXX");
    QVERIFY(m_dir->isValid());
    m_confirmCaption.clear();
    m_confirmText.clear();
}

void TestVelkorJobs::cleanup() {
    if (m_frame && m_app)
        QCOMPARE(ViewsDisagree(*m_frame->LeftView(), *m_frame->ListView()), QString());
    m_driver.reset();
    m_app.reset();
    m_sim.reset();
    QTRY_COMPARE_WITH_TIMEOUT(CJobRegistry::Running(), 0, 20000);
    CFileJobDialog::SetProgressObserver({});
    QGuiApplication::clipboard()->clear();
}

void TestVelkorJobs::Start(bool connect, CVelkorApp::Edition edition) {
    if (connect) {
        m_sim = std::make_unique<CSimFixture>(CSimFixture::Setup{.port = 1});
        QS_REQUIRE_SIM(*m_sim);
    } else {
        CVelkorSettings().SetAutoLink(0);
    }
    m_app = std::make_unique<CVelkorApp>(edition);
    m_frame = m_app->InitInstance({});
    QCOMPARE(m_app->Connected(), connect);
    m_driver = std::make_unique<CModalDriver>();
}

void TestVelkorJobs::Open(const QString& pcFolder) {
    QTreeWidgetItem* item = TreeItemForPath(m_frame->LeftView(), pcFolder);
    QVERIFY(item);
    m_frame->LeftView()->SelectFolder(item);
    QCOMPARE(m_frame->LeftView()->CurrentPath(), pcFolder);
}

void TestVelkorJobs::OpenTerminal() {
    m_frame->LeftView()->SelectFolder(m_frame->LeftView()->DevicesItem()->child(0));
    QCOMPARE(m_frame->LeftView()->CurrentPath(), QString("ZOT:"));
}

void TestVelkorJobs::SelectRows(const QStringList& names) {
    m_frame->ListView()->DeselectAll();
    for (const QString& n : names) {
        const int row = m_frame->ListView()->FindRow(n);
        QVERIFY2(row >= 0, qPrintable(n));
        m_frame->ListView()->SelectRow(row);
    }
    m_frame->SetActivePane(CMainFrame::Pane::List);
}

void TestVelkorJobs::AnswerConfirm(int answer) {
    m_driver->Then([this, answer](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        m_confirmCaption = box->windowTitle();
        m_confirmText = box->text();
        box->done(answer);
    });
}

void TestVelkorJobs::pasteTerminalToPcAndBackIsByteIdenticalWithRowsSelected() {
    Start(true);
    const QByteArray a = Pattern(5000, 1), b = Pattern(2048, 2);
    Write(m_sim->Root() + "/a.bin", a);
    Write(m_sim->Root() + "/b.bin", b);
    OpenTerminal();
    SelectRows({"a.bin", "b.bin"});
    m_frame->OnCopy();
    QCOMPARE(CClipboardFiles::Read(QGuiApplication::clipboard()->mimeData()),
             (QStringList{"ZOT:\\a.bin", "ZOT:\\b.bin"}));
    Open(m_dir->path());
    Answers answers;
    m_frame->OnPaste();
    QCOMPARE(answers.asked.size(), 0);
    QCOMPARE(ReadAll(m_dir->path() + "/a.bin"), a);
    QCOMPARE(ReadAll(m_dir->path() + "/b.bin"), b);
    CVelkorView* list = m_frame->ListView();
    QCOMPARE(list->SelectedRows(), (QList<int>{list->FindRow("a.bin"), list->FindRow("b.bin")}));

    // And back to the terminal under new names.
    QDir(m_sim->Root()).remove("a.bin");
    QDir(m_sim->Root()).remove("b.bin");
    SelectRows({"a.bin", "b.bin"});
    m_frame->OnCopy();
    OpenTerminal();
    QCOMPARE(list->Model()->Count(), 0);
    m_frame->OnPaste();
    QCOMPARE(answers.asked.size(), 0);
    QCOMPARE(ReadAll(m_sim->Root() + "/a.bin"), a);
    QCOMPARE(ReadAll(m_sim->Root() + "/b.bin"), b);
    QCOMPARE(list->SelectedRows().size(), 2);
    QCOMPARE(list->Model()->RowAt(list->FindRow("a.bin")).text[CFileListModel::kSize],
             QString("5000 bytes"));
}

void TestVelkorJobs::copyGivesDesktopUrlsAndDesktopUrlsPasteHere() {
    Start(true);
    const QString src = m_dir->path() + "/src";
    QVERIFY(QDir().mkpath(src));
    Write(src + "/one.txt", "1111");
    Write(src + "/two.txt", "22");
    Open(src);
    SelectRows({"one.txt", "two.txt"});
    m_frame->OnCopy();
    // What a desktop file manager reads.
    const QMimeData* out = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(out->urls(), (QList<QUrl>{QUrl::fromLocalFile(src + "/one.txt"),
                                       QUrl::fromLocalFile(src + "/two.txt")}));
    QVERIFY(out->data("x-special/gnome-copied-files").startsWith("copy\nfile://"));

    // What a desktop file manager writes: URLs only.
    auto* in = new QMimeData;
    in->setUrls({QUrl::fromLocalFile(src + "/two.txt")});
    SetClipboard(in);
    QVERIFY(m_frame->PasteAction()->isEnabled());
    OpenTerminal();
    Answers answers;
    m_frame->OnPaste();
    QCOMPARE(ReadAll(m_sim->Root() + "/two.txt"), QByteArray("22"));
    QVERIFY(!QFileInfo::exists(m_sim->Root() + "/one.txt"));
}

void TestVelkorJobs::pasteOnMyComputerIsRefused_data() {
    QTest::addColumn<CVelkorApp::Edition>("edition");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("title");
    QTest::newRow("en") << kEnglish << "Cannot paste to here!"
                        << "Error"
                        << "Copying...";
    QTest::newRow("zh") << CVelkorApp::Edition::Chinese << "不能粘贴到此处！"
                        << "错误"
                        << "正在复制...";
}

void TestVelkorJobs::pasteOnMyComputerIsRefused() {
    QFETCH(CVelkorApp::Edition, edition);
    QFETCH(QString, text);
    QFETCH(QString, caption);
    QFETCH(QString, title);
    Start(false, edition);
    Write(m_dir->path() + "/f", "x");
    SetClipboard(CClipboardFiles::Make({m_dir->path() + "/f"}));
    m_frame->LeftView()->SelectFolder(m_frame->LeftView()->ComputerItem());
    QVERIFY(m_frame->PasteAction()->isEnabled());
    Answers answers;
    QString shownTitle;
    bool overTheWindow = false;
    answers.onAsk = [&](CFileJobDialog* d) {
        shownTitle = d->windowTitle();
        // The dialog, and the boxes it owns, open over the main window.
        overTheWindow = m_frame->frameGeometry().contains(d->frameGeometry().center());
    };
    m_frame->OnPaste();
    QCOMPARE(answers.asked.size(), 1);
    QCOMPARE(answers.asked[0].text, text);
    QCOMPARE(answers.asked[0].caption, caption);
    QCOMPARE(answers.asked[0].owner, CJobQuestion::Owner::Dialog);
    QCOMPARE(shownTitle, title);
    QVERIFY(overTheWindow);
}

void TestVelkorJobs::samePathRefusedButSiblingWithCommonPrefixAllowed() {
    Start(false);
    const QString a = m_dir->path() + "/a", ab = m_dir->path() + "/ab";
    QVERIFY(QDir().mkpath(a));
    QVERIFY(QDir().mkpath(ab));
    Write(a + "/f.txt", "f");
    Write(a + "/g.txt", "g");
    Answers answers;
    // A file into its own folder: refused, and nothing after it is handled.
    SetClipboard(CClipboardFiles::Make({a + "/f.txt", a + "/g.txt"}));
    Open(a);
    m_frame->OnPaste();
    QCOMPARE(answers.Texts(), QStringList{"source path equal destination path, cancel copy!"});
    // A folder into itself.
    answers.asked.clear();
    SetClipboard(CClipboardFiles::Make({a}));
    m_frame->OnPaste();
    QCOMPARE(answers.Texts(), QStringList{"source path equal destination path, cancel copy!"});
    QVERIFY(!QFileInfo::exists(a + "/a"));
    // /a into /ab is no longer refused.
    answers.asked.clear();
    Open(ab);
    m_frame->OnPaste();
    QCOMPARE(answers.asked.size(), 0);
    QCOMPARE(ReadAll(ab + "/a/f.txt"), QByteArray("f"));
}

void TestVelkorJobs::sixteenWireBytesCopiedSeventeenRefused() {
    QS_POSIX_ONLY("reads the raw bytes of the names the simulator stored");
    Start(true);
    const QString ok16 = "abcdefghijkl.txt";     // 16 bytes
    const QString long17 = "abcdefghijklm.txt";  // 17 bytes
    const QString gbk16 = "一二三四五六七八";    // 8 characters, 16 GBK bytes
    const QString gbk18 = "一二三四五六七八九";  // 18 GBK bytes
    for (const QString& n : {ok16, long17, gbk16, gbk18}) Write(m_dir->path() + "/" + n, "n");
    SetClipboard(CClipboardFiles::Make({m_dir->path() + "/" + ok16, m_dir->path() + "/" + long17,
                                        m_dir->path() + "/" + gbk16, m_dir->path() + "/" + gbk18}));
    OpenTerminal();
    Answers answers;
    answers.queue = {QMessageBox::Yes, QMessageBox::Yes};
    m_frame->OnPaste();
    QCOMPARE(answers.Texts(),
             (QStringList{"[" + long17 +
                              "] Filename length larger than 16 bytes. Copy failed. Continue "
                              "with next file?",
                          "[" + gbk18 +
                              "] Filename length larger than 16 bytes. Copy failed. Continue "
                              "with next file?"}));
    QCOMPARE(answers.asked[0].owner, CJobQuestion::Owner::Application);
    QVERIFY(QFileInfo::exists(m_sim->Root() + "/" + ok16));
    QVERIFY(!QFileInfo::exists(m_sim->Root() + "/" + long17));
    // The simulator keeps the wire bytes as the name: one more file, of 16 bytes.
    QCOMPARE(RawNameLengths(m_sim->Root()), (QList<int>{16, 16}));
    QVERIFY(m_frame->ListView()->HasRow(gbk16));
    QVERIFY(!m_frame->ListView()->HasRow(gbk18));
}

void TestVelkorJobs::pcFolderToTerminalIsRefusedWithItsPrompt() {
    Start(true);
    const QString folder = m_dir->path() + "/docs";
    QVERIFY(QDir().mkpath(folder));
    Write(m_dir->path() + "/after.txt", "after");
    SetClipboard(CClipboardFiles::Make({folder, m_dir->path() + "/after.txt"}));
    OpenTerminal();
    Answers answers;
    answers.queue = {QMessageBox::Yes};
    m_frame->OnPaste();
    QCOMPARE(answers.Texts(),
             QStringList{"Cannot copy folder " + folder + " ! Continue with next file?"});
    QCOMPARE(ReadAll(m_sim->Root() + "/after.txt"), QByteArray("after"));
    QVERIFY(!QFileInfo::exists(m_sim->Root() + "/docs"));
}

void TestVelkorJobs::pcFolderCopiedRecursivelyAskingForFilesInside() {
    Start(false);
    const QString src = m_dir->path() + "/src/tree", dst = m_dir->path() + "/dst";
    QVERIFY(QDir().mkpath(src + "/inner/deeper"));
    QVERIFY(QDir().mkpath(dst));
    Write(src + "/top.txt", Pattern(3000, 3));
    Write(src + "/inner/deeper/leaf.bin", Pattern(70000, 4));
    SetClipboard(CClipboardFiles::Make({src}));
    Open(dst);
    Answers answers;
    m_frame->OnPaste();
    QCOMPARE(answers.asked.size(), 0);
    QCOMPARE(ReadAll(dst + "/tree/top.txt"), Pattern(3000, 3));
    QCOMPARE(ReadAll(dst + "/tree/inner/deeper/leaf.bin"), Pattern(70000, 4));
    const int row = m_frame->ListView()->FindRow("tree");
    QVERIFY(row >= 0);
    QCOMPARE(m_frame->ListView()->Model()->RowAt(row).text[CFileListModel::kType],
             QString("Folder"));
    // Again, with changed sources: each file inside is asked about; All covers the rest.
    Write(src + "/top.txt", "changed");
    answers.queue = {COverwriteDlg::kAll};
    m_frame->OnPaste();
    QCOMPARE(answers.asked.size(), 1);
    QCOMPARE(answers.asked[0].kind, CJobQuestion::Kind::Overwrite);
    QCOMPARE(ReadAll(dst + "/tree/top.txt"), QByteArray("changed"));
}

void TestVelkorJobs::pasteSourceKeepsItsReadOnlyState() {
    Start(false);
    const QString src = m_dir->path() + "/ro.txt";
    Write(src, "ro");
    QFile::setPermissions(src, QFile::ReadOwner);
    QVERIFY(QDir().mkpath(m_dir->path() + "/to"));
    SetClipboard(CClipboardFiles::Make({src}));
    Open(m_dir->path() + "/to");
    Answers answers;
    m_frame->OnPaste();
    QCOMPARE(ReadAll(m_dir->path() + "/to/ro.txt"), QByteArray("ro"));
    QCOMPARE(QFile::permissions(src) & QFile::WriteOwner, QFile::Permissions());
}

void TestVelkorJobs::overwriteAnswersYesAllNoCancel() {
    Start(true);
    QStringList sources;
    for (int i = 0; i < 4; ++i) {
        const QString n = QString("f%1.txt").arg(i);
        Write(m_dir->path() + "/" + n, "new" + QByteArray::number(i));
        Write(m_sim->Root() + "/" + n, "old");
        sources << m_dir->path() + "/" + n;
    }
    SetClipboard(CClipboardFiles::Make(sources));
    OpenTerminal();
    Answers answers;
    // Yes copies, No passes over, Cancel ends the paste.
    answers.queue = {COverwriteDlg::kYes, COverwriteDlg::kNo, COverwriteDlg::kCancel};
    m_frame->OnPaste();
    QCOMPARE(answers.asked.size(), 3);
    QCOMPARE(answers.asked[0].kind, CJobQuestion::Kind::Overwrite);
    QCOMPARE(answers.asked[0].text,
             "Destination ZOT:\\f0.txt already exists. Overwrite?\nSelecting \"Cancel\" will "
             "abort copying remaining files.");
    QCOMPARE(ReadAll(m_sim->Root() + "/f0.txt"), QByteArray("new0"));
    QCOMPARE(ReadAll(m_sim->Root() + "/f1.txt"), QByteArray("old"));
    QCOMPARE(ReadAll(m_sim->Root() + "/f2.txt"), QByteArray("old"));
    QCOMPARE(ReadAll(m_sim->Root() + "/f3.txt"), QByteArray("old"));
    // All copies this one and every later one without asking again.
    answers.asked.clear();
    answers.queue = {COverwriteDlg::kNo, COverwriteDlg::kAll};
    m_frame->OnPaste();
    QCOMPARE(answers.asked.size(), 2);
    QCOMPARE(ReadAll(m_sim->Root() + "/f0.txt"), QByteArray("new0"));
    QCOMPARE(ReadAll(m_sim->Root() + "/f1.txt"), QByteArray("new1"));
    QCOMPARE(ReadAll(m_sim->Root() + "/f3.txt"), QByteArray("new3"));
}

void TestVelkorJobs::cancelMidCopyKeepsPartialFileWithoutMessage() {
    m_sim = std::make_unique<CSimFixture>(
        CSimFixture::Setup{.latencyMs = 4, .port = 1});  // every reply a little late
    QS_REQUIRE_SIM(*m_sim);
    m_app = std::make_unique<CVelkorApp>(kEnglish);
    m_frame = m_app->InitInstance({});
    QVERIFY(m_app->Connected());
    m_driver = std::make_unique<CModalDriver>();
    const int size = 600 * 1024;
    Write(m_sim->Root() + "/big.bin", Pattern(size, 5));
    Write(m_sim->Root() + "/next.bin", "n");
    SetClipboard(CClipboardFiles::Make({"ZOT:\\big.bin", "ZOT:\\next.bin"}));
    Open(m_dir->path());
    Answers answers;
    QString cancelText;
    m_driver->Then([&](QWidget* w) {
        auto* dlg = qobject_cast<CFileJobDialog*>(w);
        QVERIFY(dlg);
        QCOMPARE(dlg->windowTitle(), QString("Copying..."));
        QTRY_VERIFY_WITH_TIMEOUT(dlg->ProgressBar()->value() >= 2, 20000);
        dlg->CancelButton()->click();
        cancelText = dlg->CurrentText();
    });
    m_frame->OnPaste();
    QCOMPARE(cancelText, QString("Cancel..."));
    QCOMPARE(answers.asked.size(), 0);
    const qint64 partial = QFileInfo(m_dir->path() + "/big.bin").size();
    QVERIFY2(partial > 0 && partial < size, qPrintable(QString::number(partial)));
    QCOMPARE(partial % 2048, 0);
    QVERIFY(!QFileInfo::exists(m_dir->path() + "/next.bin"));
}

void TestVelkorJobs::pulledLineMidCopyAsksAndContinuesToIdenticalFilesBothWays() {
    m_sim = std::make_unique<CSimFixture>(
        CSimFixture::Setup{.latencyMs = 2, .port = 1, .inProcess = true});
    QS_REQUIRE_SIM(*m_sim);
    m_app = std::make_unique<CVelkorApp>(kEnglish);
    m_frame = m_app->InitInstance({});
    QVERIFY(m_app->Connected());
    m_driver = std::make_unique<CModalDriver>();
    const int size = 300 * 1024;
    const QByteArray data = Pattern(size, 9);
    Write(m_sim->Root() + "/big.bin", data);
    Write(m_dir->path() + "/up.bin", Pattern(size, 10));
    zotsim::CSimulator& sim = m_sim->Sim();
    for (const bool toPc : {true, false}) {
        const QString name = toPc ? "big.bin" : "up.bin";
        if (toPc) {
            SetClipboard(CClipboardFiles::Make({"ZOT:\\big.bin"}));
            Open(m_dir->path());
        } else {
            SetClipboard(CClipboardFiles::Make({m_dir->path() + "/up.bin"}));
            OpenTerminal();
        }
        Answers answers;
        uint32_t requestsAtReplug = 0;
        answers.queue = {QMessageBox::Yes};
        answers.onAsk = [&](CFileJobDialog*) {
            // Asked with the partial file already in the list and the link shown down.
            QVERIFY(m_frame->ListView()->FindRow(name) >= 0);
            QCOMPARE(m_app->Backend().LinkState(), IDeviceBackend::Link::Down);
            QVERIFY(sim.Replug());
            requestsAtReplug = sim.RequestCount();
        };
        m_driver->Then([&](QWidget* w) {
            auto* dlg = qobject_cast<CFileJobDialog*>(w);
            QVERIFY(dlg);
            QTRY_VERIFY_WITH_TIMEOUT(dlg->ProgressBar()->value() >= 20, 20000);
            // The figures beside the bar: one file of its size, part of it done.
            QTRY_VERIFY(dlg->Progress().bytesDone > 0);
            QCOMPARE(dlg->Progress().fileIndex, 1);
            QCOMPARE(dlg->Progress().fileCount, 1);
            QCOMPARE(dlg->Progress().bytesTotal, uint64_t(size));
            sim.Unplug();
        });
        m_frame->OnPaste();
        const QString src = toPc ? "ZOT:\\big.bin" : m_dir->path() + "/up.bin";
        QCOMPARE(answers.Texts(),
                 QStringList{"[" + src +
                             "] The connection to the device was lost. The part already copied "
                             "is kept.\nReconnect the device, then choose Yes to continue where "
                             "the copy stopped, or No to stop copying."});
        QCOMPARE(ReadAll(toPc ? m_dir->path() + "/big.bin" : m_sim->Root() + "/up.bin"),
                 toPc ? data : Pattern(size, 10));
        // Went on from where it stopped: fewer requests than a whole copy's 1 KiB blocks.
        QVERIFY2(sim.RequestCount() - requestsAtReplug < uint32_t(size / 1024) * 4 / 5,
                 qPrintable(QString::number(sim.RequestCount() - requestsAtReplug)));
        QCOMPARE(m_app->Backend().LinkState(), IDeviceBackend::Link::Up);
    }
}

void TestVelkorJobs::copiesKeepTheirTimesBothWays() {
    Start(true);
    const qint64 then = 1500000000;  // 2017-07-14 02:40:00 UTC
    m_sim->AddFile("old.txt", 3000, then);
    SetClipboard(CClipboardFiles::Make({"ZOT:\\old.txt"}));
    Open(m_dir->path());
    Answers answers;
    m_frame->OnPaste();
    QCOMPARE(QFileInfo(m_dir->path() + "/old.txt").lastModified().toSecsSinceEpoch(), then);
    // And back under another name: the terminal keeps the PC file's time, and its row shows it.
    QVERIFY(QFile::rename(m_dir->path() + "/old.txt", m_dir->path() + "/back.txt"));
    SetClipboard(CClipboardFiles::Make({m_dir->path() + "/back.txt"}));
    OpenTerminal();
    m_frame->OnPaste();
    QCOMPARE(QFileInfo(m_sim->Root() + "/back.txt").lastModified().toSecsSinceEpoch(), then);
    CVelkorView* list = m_frame->ListView();
    QCOMPARE(list->Model()->RowAt(list->FindRow("back.txt")).text[CFileListModel::kTime],
             QString("2017-07-14 02:40:00"));
    QCOMPARE(answers.asked.size(), 0);
}

void TestVelkorJobs::terminalFolderIsRefusedNamingItsCause() {
    Start(true, CVelkorApp::Edition::Chinese);
    QVERIFY(QDir(m_sim->Root()).mkdir("sub"));
    Write(m_sim->Root() + "/f.txt", "f");
    SetClipboard(CClipboardFiles::Make({"ZOT:\\sub", "ZOT:\\f.txt"}));
    Open(m_dir->path());
    Answers answers;
    answers.queue = {QMessageBox::Yes};
    m_frame->OnPaste();
    QCOMPARE(
        answers.Texts(),
        QStringList{"[ZOT:\\sub] 是掌上设备上的文件夹，设备上的文件夹不能拷贝。继续下一个文件？"});
    QVERIFY(!QFileInfo::exists(m_dir->path() + "/sub"));
    QCOMPARE(ReadAll(m_dir->path() + "/f.txt"), QByteArray("f"));
}

void TestVelkorJobs::deleteThreeRowsAsksMultiQuestionAndMovesProgress() {
    Start(true);
    for (const char* n : {"d1", "d2", "d3", "keep"}) Write(m_sim->Root() + "/" + n, "x");
    OpenTerminal();
    SelectRows({"d1", "d2", "d3"});
    QVERIFY(m_frame->DeleteAction()->isEnabled());
    QList<int> progress;
    CFileJobDialog::SetProgressObserver([&](int v) { progress << v; });
    AnswerConfirm(QMessageBox::Yes);
    m_frame->OnDelete();
    QCOMPARE(m_confirmCaption, QString("Confirm delete multi file"));
    QCOMPARE(m_confirmText, QString("Confirm delete these 3 items ?"));
    QCOMPARE(progress, (QList<int>{0, 33, 66}));
    QCOMPARE(QDir(m_sim->Root()).entryList(QDir::Files), QStringList{"keep"});
    QCOMPARE(m_frame->ListView()->Model()->Count(), 1);
    // No keeps everything.
    SelectRows({"keep"});
    AnswerConfirm(QMessageBox::No);
    m_frame->OnDelete();
    QCOMPARE(m_confirmText, QString("Confirm delete:\"keep\" ?"));
    QVERIFY(QFileInfo::exists(m_sim->Root() + "/keep"));
}

void TestVelkorJobs::deleteFolderFromTree() {
    Start(false);
    const QString victim = m_dir->path() + "/victim";
    QVERIFY(QDir().mkpath(victim + "/sub"));
    Write(victim + "/sub/f", "f");
    Write(victim + "/.hidden", "h");
    Open(m_dir->path());
    QTreeWidgetItem* parent = m_frame->LeftView()->CurrentFolderItem();
    Open(victim);
    m_frame->SetActivePane(CMainFrame::Pane::Tree);
    QVERIFY(m_frame->DeleteAction()->isEnabled());
    AnswerConfirm(QMessageBox::Yes);
    m_frame->OnDelete();
    QCOMPARE(m_confirmCaption, QString("Confirm delete folder"));
    QCOMPARE(m_confirmText, QString("Confirm delete folder:\"victim\" and all contents ?"));
    QVERIFY(!QFileInfo::exists(victim));
    QCOMPARE(m_frame->LeftView()->CurrentFolderItem(), parent);
    QCOMPARE(m_frame->LeftView()->CurrentPath(), m_dir->path());
    for (int i = 0; i < parent->childCount(); ++i) QVERIFY(parent->child(i)->text(0) != "victim");
    QVERIFY(!m_frame->ListView()->HasRow("victim"));
}

void TestVelkorJobs::deleteFolderRowAsksFolderQuestion() {
    Start(false);
    QVERIFY(QDir().mkpath(m_dir->path() + "/rowdir/in"));
    Open(m_dir->path());
    SelectRows({"rowdir"});
    AnswerConfirm(QMessageBox::Yes);
    m_frame->OnDelete();
    QCOMPARE(m_confirmText, QString("Confirm delete folder:\"rowdir\" and all contents ?"));
    QVERIFY(!QFileInfo::exists(m_dir->path() + "/rowdir"));
    QVERIFY(!m_frame->ListView()->HasRow("rowdir"));
}

void TestVelkorJobs::failedDeleteShowsExactText() {
    Start(true);
    Write(m_sim->Root() + "/gone", "x");
    Write(m_sim->Root() + "/later", "x");
    OpenTerminal();
    SelectRows({"gone", "later"});
    QFile::remove(m_sim->Root() + "/gone");  // behind the explorer's back
    Answers answers;
    AnswerConfirm(QMessageBox::Yes);
    m_frame->OnDelete();
    QCOMPARE(answers.Texts(), QStringList{"Delete file:\"gone\" fail"});
    QCOMPARE(answers.asked[0].caption, QString("Error"));
    QVERIFY(QFileInfo::exists(m_sim->Root() + "/later"));
}

void TestVelkorJobs::readOnlyFilesAreDeletedOnBothSides() {
    Start(true);
    Write(m_sim->Root() + "/ro.dev", "x");
    QFile::setPermissions(m_sim->Root() + "/ro.dev", QFile::ReadOwner);
    Write(m_dir->path() + "/ro.pc", "x");
    QFile::setPermissions(m_dir->path() + "/ro.pc", QFile::ReadOwner);
    OpenTerminal();
    SelectRows({"ro.dev"});
    Answers answers;
    AnswerConfirm(QMessageBox::Yes);
    m_frame->OnDelete();
    QVERIFY(!QFileInfo::exists(m_sim->Root() + "/ro.dev"));
    Open(m_dir->path());
    SelectRows({"ro.pc"});
    AnswerConfirm(QMessageBox::Yes);
    m_frame->OnDelete();
    QVERIFY(!QFileInfo::exists(m_dir->path() + "/ro.pc"));
    QCOMPARE(answers.asked.size(), 0);
}

void TestVelkorJobs::cancelReachesRunningDelete() {
    Start(true);
    for (int i = 0; i < 6; ++i) Write(m_sim->Root() + QString("/c%1").arg(i), "x");
    OpenTerminal();
    SelectRows({"c0", "c1", "c2", "c3", "c4", "c5"});
    // Cancel as soon as the first item is under way: the item in hand finishes, no more.
    CFileJobDialog::SetProgressObserver([&](int v) {
        if (v != 0) return;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<CFileJobDialog*>(w); d && d->isVisible()) d->reject();
    });
    AnswerConfirm(QMessageBox::Yes);
    m_frame->OnDelete();
    const int left = static_cast<int>(QDir(m_sim->Root()).entryList(QDir::Files).size());
    QVERIFY2(left >= 4 && left <= 5, qPrintable(QString::number(left)));
}

void TestVelkorJobs::hostileClipboardNamesNeverWriteOutsideTheFolder() {
    Start(true);
    QVERIFY(QDir().mkpath(m_dir->path() + "/in"));
    Write(m_sim->Root() + "/ok", "ok");
    auto* data = new QMimeData;
    data->setData(CClipboardFiles::OwnMimeType(),
                  CClipboardFiles::EncodeOwn({"ZOT:\\..", "ZOT:\\a/../../escape", "ZOT:\\ok"}));
    SetClipboard(data);
    Open(m_dir->path() + "/in");
    Answers answers;
    answers.queue = {QMessageBox::Yes, QMessageBox::Yes};
    m_frame->OnPaste();
    QCOMPARE(answers.asked.size(), 2);
    QCOMPARE(answers.asked[0].text,
             "[ZOT:\\..]Unknown error, Please check communication. Continue with next file?");
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"in"});
    QCOMPARE(QDir(m_dir->path() + "/in").entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"ok"});
    // A PC name with a backslash would become a terminal sub-path: refused as well.
    QS_POSIX_ONLY("a PC file name with a backslash in it");
    Write(m_dir->path() + "/in/a\\b", "x");
    SetClipboard(CClipboardFiles::Make({m_dir->path() + "/in/a\\b"}));
    OpenTerminal();
    answers.asked.clear();
    answers.queue = {QMessageBox::Yes};
    m_frame->OnPaste();
    QCOMPARE(answers.asked.size(), 1);
    QCOMPARE(QDir(m_sim->Root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"ok"});
}

void TestVelkorJobs::commandsFollowTheEnableRules() {
    Start(false);
    QVERIFY(QDir().mkpath(m_dir->path() + "/sub"));
    CLeftView* tree = m_frame->LeftView();
    tree->SelectFolder(tree->ComputerItem());
    m_frame->SetActivePane(CMainFrame::Pane::List);
    QVERIFY(!m_frame->CopyAction()->isEnabled());
    QVERIFY(!m_frame->DeleteAction()->isEnabled());
    tree->SelectFolder(tree->ComputerItem()->child(0));  // a drive, tree active
    m_frame->SetActivePane(CMainFrame::Pane::Tree);
    QVERIFY(!m_frame->CopyAction()->isEnabled());
    Open(m_dir->path() + "/sub");  // a folder, tree active: acts on the folder itself
    m_frame->SetActivePane(CMainFrame::Pane::Tree);
    QVERIFY(m_frame->CopyAction()->isEnabled());
    m_frame->OnCopy();
    QCOMPARE(CClipboardFiles::Read(QGuiApplication::clipboard()->mimeData()),
             QStringList{m_dir->path() + "/sub"});
    QVERIFY(m_frame->PasteAction()->isEnabled());
    QGuiApplication::clipboard()->clear();
    QVERIFY(!m_frame->PasteAction()->isEnabled());
    // View modes are radio items following the list.
    m_frame->ModeAction(3)->trigger();
    QCOMPARE(m_frame->ListView()->CurrentMode(), CFileListView::Mode::Details);
    QVERIFY(m_frame->ModeAction(3)->isChecked());
    QVERIFY(!m_frame->ModeAction(0)->isChecked());
    // Up goes to the parent; Refresh keeps the folder.
    m_frame->OnUp();
    QCOMPARE(tree->CurrentPath(), m_dir->path());
    m_frame->OnRefresh();
    QCOMPARE(tree->CurrentPath(), m_dir->path());
    QVERIFY(m_frame->ListView()->HasRow("sub"));
    QCOMPARE(m_frame->PasteAction()->toolTip(), QString("Pase"));
}

QTEST_MAIN(TestVelkorJobs)
#include "tst_velkor_jobs.moc"
