// Copy, paste, the progress dialog, the local copy thread and delete, against the simulator.
#include <sys/stat.h>

#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <deque>

#include "CClipboardFiles.h"
#include "CDevicePath.h"
#include "CDlgProcess.h"
#include "CJobRegistry.h"
#include "CLeftView.h"
#include "CLocalCopyThread.h"
#include "CMainFrame.h"
#include "CModalDriver.h"
#include "CShowSpy.h"
#include "CSimFixture.h"
#include "CTallowApp.h"
#include "CTallowView.h"
#include "TreeItemForPath.h"

namespace {

// Names travel in GBK here while the PC's names are UTF-8: what the explorer lists, counts and
// sends must go through the libraries' code page. Set before anything reads it.
const bool kGbk = (::setenv("ZOTLINK_CODEPAGE", "GBK", 1), true);

QByteArray RandomBytes(qsizetype n) {
    QByteArray b(n, '\0');
    for (qsizetype i = 0; i < n; ++i)
        b[i] = static_cast<char>(QRandomGenerator::global()->bounded(256));
    return b;
}

void Put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray Get(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    return f.readAll();
}

// Answers the job's questions: records each, answers from the queue (default Yes / Yes).
struct Answers {
    std::deque<int> queue;
    QList<CJobQuestion> asked;
    Answers() {
        CFileJobDialog::SetAsker([this](CFileJobDialog*, const CJobQuestion& q) {
            asked << q;
            if (!queue.empty()) {
                const int a = queue.front();
                queue.pop_front();
                return a;
            }
            return q.kind == CJobQuestion::Kind::Overwrite ? int(COverwriteDlg::kYes)
                                                           : int(QMessageBox::Yes);
        });
    }
    ~Answers() { CFileJobDialog::SetAsker(nullptr); }
};

// Answers the frame's own confirmation box, remembering its caption and text.
struct Confirm {
    CModalDriver driver;
    QString caption, text;
    explicit Confirm(QMessageBox::StandardButton answer) {
        driver.Then([this, answer](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            caption = box->windowTitle();
            text = box->text();
            box->button(answer)->click();
        });
    }
};

void SetClipboard(const QStringList& paths) {
    QGuiApplication::clipboard()->setMimeData(CClipboardFiles::Make(paths));
}

QString Name(CTallowView* list, int row) {
    return list->Model()->RowAt(row).text[CFileListModel::kName];
}

QStringList SelectedNames(CTallowView* list) {
    QStringList names;
    for (int row : list->SelectedRows()) names << Name(list, row);
    return names;
}

}  // namespace

class TestTallowTransfer : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        CTallowSettings().Clear();
        ::unsetenv("DRIFTBOX_USB");
    }
    void cleanup() {
        CFileJobDialog::SetProgressObserver(nullptr);
        QTRY_COMPARE(CJobRegistry::Running(), 0);
    }

    void localCopyStatusCodes();
    void localCopyOfFourGiBIsWhole();
    void copyPutsPathsOnTheClipboard();
    void pasteInAllFourDirections();
    void overwriteAnswers();
    void plinthNameLimit();
    void samePathRefusedOnlyForItselfOrInside();
    void folderPasteOntoAnExistingFolderSaysWhyItEnded();
    void filesDroppedOnAFolderRowArePastedIntoIt();
    void cancelMidTransfer();
    void pulledLineAsksAndContinuesToIdenticalFilesBothWays();
    void aPasteWaitingForTheLibraryUsesTheConnectionMadeMeanwhile();
    void deleteFourRowsMovesStatusAndHidesCancel();
    void deleteLocalFolderFromListAndTree();
    void deviceDeletesByBareNameAndFailureText();
    void hostileClipboardNeverLeavesTheFolder();
    void jobMessageBoxesHaveChineseButtons();
    void firstLevelFoldersOfTheRootCanBeCopiedAndDeleted();
    void f6AndShiftF6SwitchPanes();
    void gbkNamesRoundTripThroughTheTerminal();
};

void TestTallowTransfer::gbkNamesRoundTripThroughTheTerminal() {
    QVERIFY(kGbk);
    CSimFixture sim;
    QS_REQUIRE_SIM(sim);
    sim.ExposeAs(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    CLeftView* tree = frame->LeftView();
    CTallowView* list = frame->ListView();
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("back"));
    const QString name = QStringLiteral("数据.txt");
    // The library takes PC paths in the PC's own code page (Windows' ANSI code page).
    if (QString::fromLocal8Bit(name.toLocal8Bit()) != name)
        QSKIP("the PC's code page has no Chinese characters");
    Put(dir.filePath(name), "gbk");
    Answers answers;
    tree->SelectFolder(tree->DevicesItem()->child(0));
    SetClipboard({dir.filePath(name)});
    frame->OnPaste();
    QCOMPARE(answers.asked.size(), 0);
    // Listed again from the terminal, the name reads as it was sent.
    tree->SelectFolder(tree->DevicesItem()->child(0));
    QVERIFY(list->FindRow(name) >= 0);
    tree->SelectFolder(TreeItemForPath(tree, dir.filePath("back")));
    SetClipboard({"ZOT:\\" + name});
    frame->OnPaste();
    QCOMPARE(Get(dir.filePath("back/" + name)), QByteArray("gbk"));
}

void TestTallowTransfer::jobMessageBoxesHaveChineseButtons() {
    CTallowSettings().SetAutoLink(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    QTemporaryDir dir;
    Put(dir.filePath("f"), "x");
    QGuiApplication::clipboard()->setMimeData(CClipboardFiles::Make({dir.filePath("f")}));
    frame->LeftView()->SelectFolder(frame->LeftView()->ComputerItem());
    QStringList buttons;
    CModalDriver driver;
    driver.OnEvery([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) return;
        for (QAbstractButton* b : box->buttons()) buttons << b->text();
        box->done(QMessageBox::Ok);
    });
    frame->OnPaste();
    QCOMPARE(buttons, QStringList{QStringLiteral("确定")});
}

void TestTallowTransfer::firstLevelFoldersOfTheRootCanBeCopiedAndDeleted() {
    CTallowSettings().SetAutoLink(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    QTreeWidgetItem* usr = TreeItemForPath(frame->LeftView(), "/usr");
    if (!usr || frame->LeftView()->PathOf(usr->parent()) != "/")
        QSKIP("no volume mounted on / with /usr on it");
    frame->LeftView()->SelectFolder(usr);
    frame->SetActivePane(CMainFrame::Pane::Tree);
    QVERIFY(frame->CopyAction()->isEnabled());
    QVERIFY(frame->DeleteAction()->isEnabled());
}

void TestTallowTransfer::f6AndShiftF6SwitchPanes() {
    CTallowSettings().SetAutoLink(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    frame->LeftView()->setFocus();
    QTest::keyClick(frame, Qt::Key_F6);
    QTRY_VERIFY(frame->ListView()->isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(frame, Qt::Key_F6, Qt::ShiftModifier);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(frame->LeftView()));
}

void TestTallowTransfer::localCopyStatusCodes() {
    QTemporaryDir dir;
    const QString src = dir.filePath("src"), dst = dir.filePath("dst");
    int32_t status = 0, cancel = 0;
    const QByteArray exact = RandomBytes(2048);
    Put(src, exact);
    CLocalCopyThread::Run(src, dst, &status, &cancel);
    QCOMPARE(status, 100);
    QCOMPARE(Get(dst), exact);
    // An existing target is replaced.
    const QByteArray longer = RandomBytes(2049 + 4096);
    Put(src, longer);
    std::thread t = CLocalCopyThread::Start(src, dst, &status, &cancel);
    t.join();
    QCOMPARE(status, 100);
    QCOMPARE(Get(dst), longer);
    Put(src, QByteArray());
    CLocalCopyThread::Run(src, dst, &status, &cancel);
    QCOMPARE(status, 100);
    QCOMPARE(Get(dst), QByteArray());
    CLocalCopyThread::Run(dir.filePath("missing"), dst, &status, &cancel);
    QCOMPARE(status, 102);
    CLocalCopyThread::Run(src, dir.filePath("no/such/folder/x"), &status, &cancel);
    QCOMPARE(status, 105);
    Put(src, longer);
    cancel = 1;
    CLocalCopyThread::Run(src, dir.filePath("cancelled"), &status, &cancel);
    QCOMPARE(status, 104);
    QCOMPARE(Get(dir.filePath("cancelled")), longer.left(2048));
}

void TestTallowTransfer::localCopyOfFourGiBIsWhole() {
    QTemporaryDir dir;
    const QString src = dir.filePath("big"), dst = dir.filePath("copy");
    // Real bytes at the start and across the 4 GiB mark, a hole between them: a size that
    // 32 bits would cut, with almost nothing to move.
    const qint64 size = (qint64(4) << 30) + 3;
    const QByteArray head = RandomBytes(3000), tail = RandomBytes(5003);
    {
        QFile f(src);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(head), head.size());
        QVERIFY(f.seek(size - tail.size()));
        QCOMPARE(f.write(tail), tail.size());
    }
    int32_t status = 0, cancel = 0;
    CLocalCopyThread::Run(src, dst, &status, &cancel);
    QCOMPARE(status, 100);
    QCOMPARE(QFileInfo(dst).size(), size);
    QFile f(dst);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.read(head.size()), head);
    QVERIFY(f.seek(size - tail.size()));
    QCOMPARE(f.read(tail.size()), tail);
}

void TestTallowTransfer::copyPutsPathsOnTheClipboard() {
    CSimFixture sim;
    QS_REQUIRE_SIM(sim);
    sim.ExposeAs(0);
    sim.AddFile("one.bin", 10);
    sim.AddFile("two.bin", 20);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    CLeftView* tree = frame->LeftView();
    CTallowView* list = frame->ListView();
    tree->SelectFolder(tree->DevicesItem()->child(0));
    frame->SetActivePane(CMainFrame::Pane::List);
    list->SelectRow(list->FindRow("two.bin"));
    list->SelectRow(list->FindRow("one.bin"));
    frame->OnCopy();
    QStringList got = CClipboardFiles::Read(QGuiApplication::clipboard()->mimeData());
    got.sort();
    QCOMPARE(got, QStringList({"ZOT:\\one.bin", "ZOT:\\two.bin"}));
    QVERIFY(frame->PasteAction()->isEnabled());

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    tree->SelectFolder(TreeItemForPath(tree, dir.filePath("folder")));
    frame->SetActivePane(CMainFrame::Pane::Tree);
    frame->OnCopy();
    QCOMPARE(CClipboardFiles::Read(QGuiApplication::clipboard()->mimeData()),
             QStringList({dir.filePath("folder")}));
    QCOMPARE(QGuiApplication::clipboard()->mimeData()->urls(),
             QList<QUrl>({QUrl::fromLocalFile(dir.filePath("folder"))}));
}

void TestTallowTransfer::pasteInAllFourDirections() {
    CSimFixture sim;
    QS_REQUIRE_SIM(sim);
    sim.ExposeAs(0);
    const QByteArray down = RandomBytes(3000);
    Put(sim.Root() + "/down.bin", down);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    CLeftView* tree = frame->LeftView();
    CTallowView* list = frame->ListView();
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("pc/sub/deeper"));
    QVERIFY(QDir(dir.path()).mkpath("other"));
    const QByteArray up = RandomBytes(5000);
    Put(dir.filePath("pc/up.txt"), up);
    Put(dir.filePath("pc/sub/deeper/leaf"), "leaf");
    QVERIFY(::chmod(QFile::encodeName(dir.filePath("pc/up.txt")).constData(), 0444) == 0);
    Answers answers;

    // PC to device.
    tree->SelectFolder(tree->DevicesItem()->child(0));
    SetClipboard({dir.filePath("pc/up.txt")});
    frame->OnPaste();
    QCOMPARE(Get(sim.Root() + "/up.txt"), up);
    QCOMPARE(SelectedNames(list), QStringList({"up.txt"}));
    QCOMPARE(list->Model()->RowAt(list->FindRow("up.txt")).text[CFileListModel::kSize],
             QStringLiteral("5000字节"));
    // Copying only read the source: its read-only state stays.
    QVERIFY(!(QFileInfo(dir.filePath("pc/up.txt")).permissions() & QFile::WriteOwner));

    // Device to PC.
    tree->SelectFolder(TreeItemForPath(tree, dir.filePath("other")));
    SetClipboard({"ZOT:\\down.bin"});
    frame->OnPaste();
    QCOMPARE(Get(dir.filePath("other/down.bin")), down);
    QCOMPARE(SelectedNames(list), QStringList({"down.bin"}));

    // PC to PC: a file through the copy thread, a folder through the folder copy.
    SetClipboard({dir.filePath("pc/up.txt"), dir.filePath("pc/sub")});
    frame->OnPaste();
    QCOMPARE(Get(dir.filePath("other/up.txt")), up);
    QCOMPARE(Get(dir.filePath("other/sub/deeper/leaf")), QByteArray("leaf"));
    QVERIFY(list->FindRow("sub") >= 0);
    QCOMPARE(list->Model()->RowAt(list->FindRow("sub")).text[CFileListModel::kType],
             QStringLiteral("文件夹"));
    QVERIFY(SelectedNames(list).contains("up.txt"));
    QVERIFY(answers.asked.isEmpty());

    // Device to device: nothing moves; the same name is the same file, another path is asked
    // about with the other-error text.
    tree->SelectFolder(tree->DevicesItem()->child(0));
    // The row of the same name asks to overwrite first, as any row does.
    SetClipboard({"ZOT:\\elsewhere\\down.bin"});
    answers.queue = {COverwriteDlg::kYes, QMessageBox::Yes};
    frame->OnPaste();
    QCOMPARE(answers.asked.size(), 2);
    QCOMPARE(int(answers.asked[0].kind), int(CJobQuestion::Kind::Overwrite));
    answers.asked.removeFirst();
    QCOMPARE(answers.asked[0].text,
             QStringLiteral("[ZOT:\\elsewhere\\down.bin]其它错误,请注意是否通信正常. Continue "
                            "with next file?"));
    QCOMPARE(Get(sim.Root() + "/down.bin"), down);
    SetClipboard({"ZOT:\\down.bin"});
    frame->OnPaste();
    QCOMPARE(answers.asked.size(), 2);
    QCOMPARE(answers.asked[1].caption, QStringLiteral("错误"));
    QCOMPARE(answers.asked[1].text, QStringLiteral("源文件夹与目标文件夹相同, 复制失败!"));

    // A folder cannot go to the terminal.
    SetClipboard({dir.filePath("pc/sub")});
    frame->OnPaste();
    QCOMPARE(answers.asked.size(), 3);
    QCOMPARE(answers.asked[2].text,
             QStringLiteral("不能拷贝文件夹 ") + dir.filePath("pc/sub") + " ！ 继续下一个文件？");

    // The root cannot take a paste.
    tree->SelectFolder(tree->RootItem());
    frame->OnPaste();
    QCOMPARE(answers.asked.size(), 4);
    QCOMPARE(answers.asked[3].caption, QStringLiteral("Error"));
    QCOMPARE(answers.asked[3].text, QStringLiteral("Cannot paste to here!"));
}

void TestTallowTransfer::overwriteAnswers() {
    CTallowSettings().SetAutoLink(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    CLeftView* tree = frame->LeftView();
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("from"));
    QVERIFY(QDir(dir.path()).mkpath("to"));
    QStringList paths;
    for (const char* n : {"f1", "f2", "f3", "f4"}) {
        Put(dir.filePath(QStringLiteral("from/") + n), QByteArray("new ") + n);
        Put(dir.filePath(QStringLiteral("to/") + n), "old");
        paths << dir.filePath(QStringLiteral("from/") + n);
    }
    tree->SelectFolder(TreeItemForPath(tree, dir.filePath("to")));
    Answers answers;
    answers.queue = {COverwriteDlg::kYes, COverwriteDlg::kNo, COverwriteDlg::kAll};
    SetClipboard(paths);
    frame->OnPaste();
    QCOMPARE(answers.asked.size(), 3);
    QCOMPARE(int(answers.asked[0].kind), int(CJobQuestion::Kind::Overwrite));
    QCOMPARE(answers.asked[0].text,
             QStringLiteral("目标文件 ") + dir.filePath("to/f1") +
                 " 已存在。是否覆盖?\n选 \"取消\"，不覆盖且放弃下一个文件的拷贝。");
    QCOMPARE(Get(dir.filePath("to/f1")), QByteArray("new f1"));
    QCOMPARE(Get(dir.filePath("to/f2")), QByteArray("old"));
    QCOMPARE(Get(dir.filePath("to/f3")), QByteArray("new f3"));
    QCOMPARE(Get(dir.filePath("to/f4")), QByteArray("new f4"));
    QCOMPARE(SelectedNames(frame->ListView()).size(), 3);

    // All holds for one paste only; Cancel ends the job.
    for (const char* n : {"f1", "f2"}) Put(dir.filePath(QStringLiteral("to/") + n), "old");
    answers.asked.clear();
    answers.queue = {COverwriteDlg::kCancel};
    frame->OnPaste();
    QCOMPARE(answers.asked.size(), 1);
    QCOMPARE(Get(dir.filePath("to/f1")), QByteArray("old"));
    QCOMPARE(Get(dir.filePath("to/f2")), QByteArray("old"));

    // The dialog itself: texts and answers.
    COverwriteDlg::Texts texts{"Overwrite confirm", "是(&Y)", "全部(&A)", "否(&N)", "取消(&C)"};
    COverwriteDlg dlg(texts, CDlgProcess::OverwriteQuestion("T"), nullptr);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Overwrite confirm"));
    QStringList buttons;
    for (QPushButton* b : dlg.findChildren<QPushButton*>()) buttons << b->text();
    QCOMPARE(buttons, QStringList({"是(&Y)", "全部(&A)", "否(&N)", "取消(&C)"}));
}

void TestTallowTransfer::plinthNameLimit() {
    QTemporaryDir dir;
    const QString name17 = QStringLiteral("seventeen_bytes.x");
    QCOMPARE(name17.toLocal8Bit().size(), 17);
    Put(dir.filePath(name17), "data");
    for (const char* server : {"Plinth", "ZotSim"}) {
        CSimFixture sim({server, 0});
        QS_REQUIRE_SIM(sim);
        sim.ExposeAs(0);
        CTallowApp app;
        CMainFrame* frame = app.InitInstance({});
        frame->LeftView()->SelectFolder(frame->LeftView()->DevicesItem()->child(0));
        Answers answers;
        answers.queue = {QMessageBox::Yes};
        SetClipboard({dir.filePath(name17)});
        frame->OnPaste();
        if (QByteArray(server) == "Plinth") {
            QCOMPARE(answers.asked.size(), 1);
            QCOMPARE(answers.asked[0].text,
                     QStringLiteral(
                         "[seventeen_bytes.x] 文件名大于 16 个字节,拷贝失败！继续下一个文件？"));
            QVERIFY(!QFile::exists(sim.Root() + "/" + name17));
        } else {
            QVERIFY(answers.asked.isEmpty());
            QCOMPARE(Get(sim.Root() + "/" + name17), QByteArray("data"));
        }
    }
}

void TestTallowTransfer::samePathRefusedOnlyForItselfOrInside() {
    CTallowSettings().SetAutoLink(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    CLeftView* tree = frame->LeftView();
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("a/child"));
    QVERIFY(QDir(dir.path()).mkpath("ab"));
    Put(dir.filePath("a/file"), "x");
    Answers answers;
    SetClipboard({dir.filePath("a")});
    tree->SelectFolder(TreeItemForPath(tree, dir.filePath("ab")));
    frame->OnPaste();
    QVERIFY(answers.asked.isEmpty());
    QCOMPARE(Get(dir.filePath("ab/a/file")), QByteArray("x"));
    for (const char* into : {"", "a", "a/child"}) {
        tree->SelectFolder(TreeItemForPath(tree, dir.filePath(into)));
        answers.asked.clear();
        frame->OnPaste();
        if (QByteArray(into).isEmpty()) {
            // Into its own parent: the target is the source itself.
            QCOMPARE(answers.asked.size(), 1);
        } else {
            QCOMPARE(answers.asked.size(), 1);
        }
        QCOMPARE(answers.asked[0].text, QStringLiteral("源文件夹与目标文件夹相同, 复制失败!"));
        QCOMPARE(answers.asked[0].icon, int(QMessageBox::Critical));
    }
    QVERIFY(!QFile::exists(dir.filePath("a/a")));
    QVERIFY(!QFile::exists(dir.filePath("a/child/a")));
}

void TestTallowTransfer::folderPasteOntoAnExistingFolderSaysWhyItEnded() {
    CTallowSettings().SetAutoLink(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    CLeftView* tree = frame->LeftView();
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("from/a"));
    QVERIFY(QDir(dir.path()).mkpath("to/a"));
    Answers answers;
    SetClipboard({dir.filePath("from/a")});
    tree->SelectFolder(TreeItemForPath(tree, dir.filePath("to")));
    frame->OnPaste();
    QCOMPARE(answers.asked.size(), 1);
    QCOMPARE(answers.asked[0].text,
             QStringLiteral("目标文件夹 “%1” 已存在，粘贴已结束。").arg(dir.filePath("to/a")));
}

void TestTallowTransfer::filesDroppedOnAFolderRowArePastedIntoIt() {
    CTallowSettings().SetAutoLink(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    CLeftView* tree = frame->LeftView();
    CTallowView* list = frame->ListView();
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("target"));
    Put(dir.filePath("dropped.txt"), "drop");
    Answers answers;
    tree->SelectFolder(TreeItemForPath(tree, dir.path()));
    frame->OnViewMode(int(CFileListView::Mode::Details));
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    // As the desktop's file manager sends it: file URLs only.
    QMimeData payload;
    payload.setUrls({QUrl::fromLocalFile(dir.filePath("dropped.txt"))});
    QWidget* viewport = list->DetailsView()->viewport();
    const QPoint at =
        list->DetailsView()->visualRect(list->Model()->index(list->FindRow("target"), 0)).center();
    QDragEnterEvent enter(at, Qt::CopyAction, &payload, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &payload, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    QVERIFY(drop.isAccepted());
    QTRY_COMPARE(Get(dir.filePath("target/dropped.txt")), QByteArray("drop"));
    QCOMPARE(tree->CurrentPath(), dir.filePath("target"));
    QVERIFY(answers.asked.isEmpty());
}

void TestTallowTransfer::cancelMidTransfer() {
    CSimFixture sim({"ZotSim", 20});
    QS_REQUIRE_SIM(sim);
    sim.ExposeAs(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    frame->LeftView()->SelectFolder(frame->LeftView()->DevicesItem()->child(0));
    QTemporaryDir dir;
    Put(dir.filePath("slow.bin"), RandomBytes(400000));
    QString cancelling;
    QPointer<CFileJobDialog> job;
    CShowSpy spy([&](QWidget* w) {
        if (auto* d = qobject_cast<CFileJobDialog*>(w)) job = d;
    });
    // Cancel once the bar has moved: the transfer is under way.
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (job && cancelling.isEmpty() && job->ProgressBar()->value() > 0) {
            QCOMPARE(job->windowTitle(), QStringLiteral("正在复制..."));
            QCOMPARE(job->CancelButton()->text(), QStringLiteral("取消"));
            job->CancelButton()->click();
            cancelling = job->CurrentText();
        }
    });
    poll.start();
    Answers answers;
    SetClipboard({dir.filePath("slow.bin")});
    frame->OnPaste();
    QCOMPARE(cancelling, QStringLiteral("正在取消......"));
    QVERIFY(answers.asked.isEmpty());
    // The partial file shows at once, so that the next paste asks before replacing it.
    QVERIFY(frame->ListView()->FindRow("slow.bin") >= 0);
    QVERIFY(QFileInfo(sim.Root() + "/slow.bin").size() < 400000);
}

void TestTallowTransfer::pulledLineAsksAndContinuesToIdenticalFilesBothWays() {
    CSimFixture sim({"ZotSim", 2, -1, true});
    QS_REQUIRE_SIM(sim);
    sim.ExposeAs(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    QTemporaryDir dir;
    const QByteArray up = RandomBytes(300000), down = RandomBytes(300000);
    Put(dir.filePath("up.bin"), up);
    Put(sim.Root() + "/down.bin", down);
    // Both sources from long ago, so that a copy stamped with the present shows.
    for (const QString& f : {dir.filePath("up.bin"), sim.Root() + "/down.bin"}) {
        QFile file(f);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::fromSecsSinceEpoch(1400000000),
                                 QFileDevice::FileModificationTime));
    }
    QPointer<CFileJobDialog> job;
    CShowSpy spy([&](QWidget* w) {
        if (auto* d = qobject_cast<CFileJobDialog*>(w)) job = d;
    });
    bool pulled = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (job && !pulled && job->ProgressBar()->value() >= 20) {
            pulled = true;
            sim.Sim().Unplug();
        }
    });
    poll.start();
    QStringList asked;
    CFileJobDialog::SetAsker([&](CFileJobDialog*, const CJobQuestion& q) {
        asked << q.text;
        if (app.Backend().LinkState() != IDeviceBackend::Link::Down) return int(QMessageBox::No);
        if (!sim.Sim().Replug()) return int(QMessageBox::No);
        return int(QMessageBox::Yes);
    });
    for (const bool toPc : {false, true}) {
        pulled = false;
        asked.clear();
        if (toPc) {
            frame->LeftView()->SelectFolder(TreeItemForPath(frame->LeftView(), dir.path()));
            SetClipboard({QStringLiteral("ZOT:\\down.bin")});
        } else {
            frame->LeftView()->SelectFolder(frame->LeftView()->DevicesItem()->child(0));
            SetClipboard({dir.filePath("up.bin")});
        }
        frame->OnPaste();
        const QString src = toPc ? QStringLiteral("ZOT:\\down.bin") : dir.filePath("up.bin");
        QCOMPARE(asked, QStringList{"[" + src +
                                    "] 与掌上设备的连接已断开，已拷贝的部分已保留。\n"
                                    "请重新连接设备后选“是”从中断处继续拷贝，选“否”停止拷贝。"});
        QCOMPARE(Get(toPc ? dir.filePath("down.bin") : sim.Root() + "/up.bin"), toPc ? down : up);
        // Whole at last, the copy has its source's time, both ways.
        const QString name = toPc ? "down.bin" : "up.bin";
        QCOMPARE(QFileInfo(dir.filePath(name)).lastModified().toSecsSinceEpoch(),
                 QFileInfo(sim.Root() + "/" + name).lastModified().toSecsSinceEpoch());
    }
    CFileJobDialog::SetAsker(nullptr);
}

void TestTallowTransfer::aPasteWaitingForTheLibraryUsesTheConnectionMadeMeanwhile() {
    CSimFixture sim;
    QS_REQUIRE_SIM(sim);
    sim.ExposeAs(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    frame->LeftView()->SelectFolder(frame->LeftView()->DevicesItem()->child(0));
    const int32_t before = app.Backend().Handle();
    QVERIFY(before != 0);
    QTemporaryDir dir;
    const QByteArray bytes = RandomBytes(3000);
    Put(dir.filePath("late.bin"), bytes);
    // The library is busy when the copy comes to it; while the job waits, the connection is
    // shut down and started anew. The job may only learn its handle once it holds the library:
    // one read before would name the connection that is gone.
    std::unique_lock<std::mutex> gate(app.Backend().Gate());
    int32_t after = 0;
    CFileJobDialog::SetProgressObserver([&](int value) {
        if (value != 0 || !gate.owns_lock()) return;
        // The status word is set just before the copy; give the job its moment to reach the
        // gate, then reconnect under it.
        QTimer::singleShot(20, [&] {
            QVERIFY(app.ConnectProcedure());
            after = app.Backend().Handle();
            gate.unlock();
        });
    });
    Answers answers;
    SetClipboard({dir.filePath("late.bin")});
    frame->OnPaste();
    QVERIFY(!gate.owns_lock());
    QVERIFY(after != 0 && after != before);
    QVERIFY(answers.asked.isEmpty());
    QCOMPARE(Get(sim.Root() + "/late.bin"), bytes);
}

void TestTallowTransfer::deleteFourRowsMovesStatusAndHidesCancel() {
    CTallowSettings().SetAutoLink(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    CTallowView* list = frame->ListView();
    QTemporaryDir dir;
    for (const char* n : {"d1", "d2", "d3", "d4", "keep"}) Put(dir.filePath(n), "x");
    frame->LeftView()->SelectFolder(TreeItemForPath(frame->LeftView(), dir.path()));
    frame->SetActivePane(CMainFrame::Pane::List);
    for (const char* n : {"d1", "d2", "d3", "d4"}) list->SelectRow(list->FindRow(n));
    QList<int> statuses;
    bool cancelHidden = true, stayedOpen = true;
    CFileJobDialog::SetProgressObserver([&](int v) {
        statuses << v;
        auto* dlg = qobject_cast<CFileJobDialog*>(QApplication::activeModalWidget());
        if (!dlg) return;
        cancelHidden = cancelHidden && !dlg->CancelButton()->isVisible();
        // Escape and the close box do nothing while a delete runs.
        dlg->reject();
        dlg->close();
        stayedOpen = stayedOpen && dlg->isVisible();
    });
    Confirm confirm(QMessageBox::Yes);
    frame->OnDelete();
    QCOMPARE(confirm.caption, QStringLiteral("确认删除多个文件"));
    QCOMPARE(confirm.text, QStringLiteral("确实要删除这4项吗？"));
    QCOMPARE(statuses, QList<int>({0, 25, 50, 75}));
    QVERIFY(cancelHidden);
    QVERIFY(stayedOpen);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"keep"}));
    QCOMPARE(list->Model()->Count(), 1);

    // No keeps everything.
    frame->SetActivePane(CMainFrame::Pane::List);
    list->SelectRow(0);
    Confirm no(QMessageBox::No);
    frame->OnDelete();
    QCOMPARE(no.caption, QStringLiteral("确认文件删除"));
    QCOMPARE(no.text, QStringLiteral("确实要删除 “keep” 吗？"));
    QVERIFY(QFile::exists(dir.filePath("keep")));
}

void TestTallowTransfer::deleteLocalFolderFromListAndTree() {
    CTallowSettings().SetAutoLink(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    CLeftView* tree = frame->LeftView();
    CTallowView* list = frame->ListView();
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("gone/inner"));
    QVERIFY(QDir(dir.path()).mkpath("treegone/x"));
    Put(dir.filePath("gone/inner/ro"), "r");
    QVERIFY(::chmod(QFile::encodeName(dir.filePath("gone/inner/ro")).constData(), 0444) == 0);
    QVERIFY(::chmod(QFile::encodeName(dir.filePath("gone/inner")).constData(), 0555) == 0);
    QTreeWidgetItem* top = TreeItemForPath(tree, dir.path());
    tree->SelectFolder(top);
    frame->SetActivePane(CMainFrame::Pane::List);
    list->SelectRow(list->FindRow("gone"));
    {
        Confirm confirm(QMessageBox::Yes);
        frame->OnDelete();
        QCOMPARE(confirm.caption, QStringLiteral("确认文件夹删除"));
        QCOMPARE(confirm.text, QStringLiteral("确实要删除文件夹 “gone” 并全部内容吗？"));
    }
    QVERIFY(!QFile::exists(dir.filePath("gone")));
    QCOMPARE(list->FindRow("gone"), -1);
    for (int i = 0; i < top->childCount(); ++i) QVERIFY(top->child(i)->text(0) != "gone");

    tree->SelectFolder(TreeItemForPath(tree, dir.filePath("treegone")));
    frame->SetActivePane(CMainFrame::Pane::Tree);
    {
        Confirm confirm(QMessageBox::Yes);
        frame->OnDelete();
        QCOMPARE(confirm.caption, QStringLiteral("确认文件夹删除"));
        QCOMPARE(confirm.text, QStringLiteral("确实要删除文件夹 “treegone” 并全部内容吗？"));
    }
    QVERIFY(!QFile::exists(dir.filePath("treegone")));
    QCOMPARE(tree->CurrentFolderItem(), top);
    QCOMPARE(top->childCount(), 0);
    // The refilled list keeps no row of the deleted item; a double-click on each is harmless.
    QCOMPARE(ViewsDisagree(*tree, *list), QString());
    for (int row = 0; row < list->Model()->Count(); ++row) frame->OnRowActivated(row);
}

void TestTallowTransfer::deviceDeletesByBareNameAndFailureText() {
    CSimFixture sim;
    QS_REQUIRE_SIM(sim);
    sim.ExposeAs(0);
    for (const char* n : {"r1.dat", "r2.dat", "r3.dat", "stay.dat"}) sim.AddFile(n, 5);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    CTallowView* list = frame->ListView();
    frame->LeftView()->SelectFolder(frame->LeftView()->DevicesItem()->child(0));
    frame->SetActivePane(CMainFrame::Pane::List);
    for (const char* n : {"r1.dat", "r2.dat", "r3.dat"}) list->SelectRow(list->FindRow(n));
    {
        Confirm confirm(QMessageBox::Yes);
        frame->OnDelete();
        QCOMPARE(confirm.text, QStringLiteral("确实要删除这3项吗？"));
    }
    QCOMPARE(QDir(sim.Root()).entryList(QDir::Files), QStringList({"stay.dat"}));
    QCOMPARE(list->Model()->Count(), 1);

    list->DeselectAll();
    list->AddOrUpdateDeviceRow({QStringLiteral("ghost.dat"), 0, 0, 1}, true);
    Answers answers;
    {
        Confirm confirm(QMessageBox::Yes);
        frame->OnDelete();
        QCOMPARE(confirm.caption, QStringLiteral("确认文件删除"));
        QCOMPARE(confirm.text, QStringLiteral("确实要删除 “ghost.dat” 吗？"));
    }
    QCOMPARE(answers.asked.size(), 1);
    QCOMPARE(answers.asked[0].caption, QStringLiteral("错误"));
    QCOMPARE(answers.asked[0].text, QStringLiteral("删除文件 “ghost.dat” 失败"));
    QCOMPARE(answers.asked[0].icon, int(QMessageBox::Critical));
    QVERIFY(list->FindRow("ghost.dat") >= 0);
}

void TestTallowTransfer::hostileClipboardNeverLeavesTheFolder() {
    CTallowSettings().SetAutoLink(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("chosen"));
    frame->LeftView()->SelectFolder(TreeItemForPath(frame->LeftView(), dir.filePath("chosen")));
    auto* data = new QMimeData;
    // Names that climb out or hold separators, a relative path, a control character and
    // bytes that are no UTF-8.
    QByteArray own;
    for (const QByteArray& part :
         {QByteArray("ZOT:\\.."), QByteArray("ZOT:\\a/b"), QByteArray("relative"),
          QByteArray("/x/\x01y"), QByteArray("\xff\xfe")}) {
        own += part;
        own += '\0';
    }
    own += '\0';
    data->setData(CClipboardFiles::OwnMimeType(), own);
    data->setUrls({QUrl("http://example.invalid/x")});
    QGuiApplication::clipboard()->setMimeData(data);
    Answers answers;
    answers.queue = {QMessageBox::Yes, QMessageBox::Yes};
    frame->OnPaste();
    QCOMPARE(answers.asked.size(), 2);
    QCOMPARE(answers.asked[0].text,
             QStringLiteral("[ZOT:\\..]其它错误,请注意是否通信正常. Continue with next file?"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"chosen"}));
    QVERIFY(QDir(dir.filePath("chosen")).isEmpty());

    // Only a remote URL: no file list, nothing runs.
    auto* remote = new QMimeData;
    remote->setUrls({QUrl("http://example.invalid/x")});
    QGuiApplication::clipboard()->setMimeData(remote);
    answers.asked.clear();
    frame->OnPaste();
    QVERIFY(answers.asked.isEmpty());
}

QTEST_MAIN(TestTallowTransfer)
#include "tst_tallow_transfer.moc"
