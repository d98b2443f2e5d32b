// The one frame's habits of a file manager and the pieces it is made of, with a program of the
// test's own: sorting, the remembered view mode, the keys, the overwrite question's letters,
// icons, cells that fit their texts, dialogs that fit theirs, and a job host that nobody waits
// for.
#include <QAbstractItemView>
#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTreeView>
#include <QtTest>
#include <atomic>
#include <thread>

#include "CExplorerFrame.h"
#include "CFileListView.h"
#include "CFolderTree.h"
#include "CIconCache.h"
#include "CJobHost.h"
#include "CJobProgressText.h"
#include "CJobRegistry.h"
#include "COverwriteDlg.h"
#include "CSettingsBase.h"
#include "CTextFormats.h"
#include "CWorkerDialog.h"
#include "IExplorerProgram.h"
#include "TreeItemForPath.h"

namespace {
class NoDevice : public IDeviceBackend {
  public:
    bool Open(int, int, bool) override { return false; }
    bool QueryVersion() override { return false; }
    void Close() override {}
    bool StoreInfo(uint64_t*, uint64_t*) override { return false; }
    bool List(const QString&, const std::function<bool(const Entry&)>&) override { return false; }
    bool Copy(const QString&, const QString&, int32_t*, int32_t*, bool) override { return false; }
    bool DeleteFile(const QString&) override { return false; }
    uint32_t Attributes(const QString&) override { return 0; }
    bool SetAttributes(const QString&, uint32_t) override { return false; }
};

class Program : public IExplorerProgram {
  public:
    CSettingsBase settings{"Corvale", "QuaysideFrameTest", "Settings"};
    CIconCache icons;
    NoDevice backend;

    CSettingsBase& Settings() override { return settings; }
    CIconCache& Icons() override { return icons; }
    IDeviceBackend& Backend() override { return backend; }
    bool Connected() const override { return false; }
    QString TitleText() const override { return "frame"; }
    void RunSetup(QWidget*) override {}
    void RunConnect(QWidget*) override {}
    void RunAbout(QWidget*) override {}
    int Message(QWidget*, const QString&, int, int, const QString&) const override { return 0; }
    CJobPolicy JobPolicy() const override { return {}; }
    void ListDeviceFolder(CFileListView*, QWidget*) override {}
    void StoreInfo(uint64_t*, uint64_t*) override {}
};

struct Frame {
    Program program;
    CExplorerFrame* frame;
    Frame() {
        CExplorerFrame::Texts texts;
        for (QString& m : texts.modes) m = "mode";
        texts.tree = {"root", "computer", "devices", "%1", "%1", "%1 (%2)", "home", "device"};
        texts.listing = {
            "system", "folder", {[](int) { return QString(); }, "", "%.2f", "%.0f"}, "", ""};
        frame = new CExplorerFrame(program, new CFolderTree(&program.icons, &program.backend),
                                   new CFileListView(&program.icons), texts, {});
    }
    ~Frame() { delete frame; }
    CExplorerFrame* operator->() const { return frame; }
};

QStringList Names(const CFileListView& list) {
    QStringList names;
    for (int row = 0; row < list.Model()->Count(); ++row)
        names << list.Model()->RowAt(row).text[CFileListModel::kName];
    return names;
}
}  // namespace

class TestFrame : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { CSettingsBase("Corvale", "QuaysideFrameTest", "Settings").Clear(); }
    void detailsSortByAColumnWithFoldersFirst();
    void viewModeComesBackAtTheNextStart();
    void f5FindsAFolderMadeSinceEnterOpensItBackspaceGoesUp();
    void overwriteQuestionTakesPlainLetters_data();
    void overwriteQuestionTakesPlainLetters();
    void everyToolbarIconLooksDifferent();
    void namesAndSizesFitTheirCells();
    void workerDialogGrowsToItsText();
    void progressLineLeavesOutWhatIsNotKnown();
    void aDetachedJobIsNeitherWaitedForNorHeard();
};

void TestFrame::detailsSortByAColumnWithFoldersFirst() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("zfolder"));
    for (const auto& [name, size] : {std::pair{"b.txt", 30}, {"a.txt", 200}, {"C.txt", 1}}) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(size, 'x'));
    }
    CIconCache icons;
    CFileListView list(&icons);
    list.AppendPcFiles(dir.path());
    list.SetMode(CFileListView::Mode::Details);
    QHeaderView* header = list.DetailsView()->header();
    emit header->sectionClicked(CFileListModel::kSize);
    QCOMPARE(Names(list), QStringList({"zfolder", "C.txt", "b.txt", "a.txt"}));
    emit header->sectionClicked(CFileListModel::kSize);
    QCOMPARE(Names(list), QStringList({"zfolder", "a.txt", "b.txt", "C.txt"}));
    emit header->sectionClicked(CFileListModel::kName);
    QCOMPARE(Names(list), QStringList({"zfolder", "a.txt", "b.txt", "C.txt"}));
    // A refill keeps the chosen order.
    list.Clear();
    list.AppendPcFiles(dir.path());
    list.FinishFill();
    QCOMPARE(Names(list), QStringList({"zfolder", "a.txt", "b.txt", "C.txt"}));
}

void TestFrame::viewModeComesBackAtTheNextStart() {
    {
        Frame f;
        QCOMPARE(f->List()->CurrentMode(), CFileListView::Mode::Icon);
        f->ModeAction(int(CFileListView::Mode::Details))->trigger();
    }
    Frame f;
    QCOMPARE(f->List()->CurrentMode(), CFileListView::Mode::Details);
    QVERIFY(f->ModeAction(int(CFileListView::Mode::Details))->isChecked());
}

void TestFrame::f5FindsAFolderMadeSinceEnterOpensItBackspaceGoesUp() {
    QTemporaryDir dir;
    Frame f;
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.frame));
    CFolderTree* tree = f->Tree();
    QTreeWidgetItem* top = TreeItemForPath(tree, dir.path());
    QVERIFY(top);
    tree->SelectFolder(top);
    QVERIFY(QDir(dir.path()).mkdir("later"));
    QTest::keyClick(f.frame, Qt::Key_F5);
    const int row = f->List()->FindRow("later");
    QVERIFY(row >= 0);
    f->List()->SelectRow(row);
    f->List()->ActiveView()->setCurrentIndex(f->List()->Model()->index(row, 0));
    f->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.frame));
    f->List()->FocusList();
    QTest::keyClick(f->List()->ActiveView(), Qt::Key_Return);
    QCOMPARE(tree->CurrentPath(), dir.filePath("later"));
    QTest::keyClick(f.frame, Qt::Key_Backspace);
    QCOMPARE(tree->CurrentPath(), dir.path());
    QTest::keyClick(f.frame, Qt::Key_Up, Qt::AltModifier);
    QCOMPARE(tree->CurrentFolderItem(), top->parent());
}

void TestFrame::overwriteQuestionTakesPlainLetters_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("answer");
    QTest::newRow("Y") << int(Qt::Key_Y) << int(COverwriteDlg::kYes);
    QTest::newRow("A") << int(Qt::Key_A) << int(COverwriteDlg::kAll);
    QTest::newRow("N") << int(Qt::Key_N) << int(COverwriteDlg::kNo);
    QTest::newRow("C") << int(Qt::Key_C) << int(COverwriteDlg::kCancel);
}

void TestFrame::overwriteQuestionTakesPlainLetters() {
    QFETCH(int, key);
    QFETCH(int, answer);
    COverwriteDlg dlg({"Overwrite confirm", "是(&Y)", "全部(&A)", "否(&N)", "取消(&C)"}, "?",
                      nullptr);
    QTimer::singleShot(0, &dlg, [&] { QTest::keyClick(&dlg, Qt::Key(key)); });
    QCOMPARE(dlg.exec(), answer);
}

void TestFrame::everyToolbarIconLooksDifferent() {
    Frame f;
    QList<QImage> seen;
    for (QAction* a : f->ToolBar()->actions()) {
        if (a->isSeparator()) continue;
        const QImage image = a->icon().pixmap(16, 16).toImage();
        QVERIFY2(!image.isNull(), qPrintable(a->text()));
        QVERIFY2(!seen.contains(image), qPrintable(a->text()));
        seen << image;
    }
    QCOMPARE(seen.size(), 10);
}

void TestFrame::namesAndSizesFitTheirCells() {
    CIconCache icons;
    CFileListView list(&icons);
    list.resize(800, 400);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    const QString longName = "a rather long file name that goes on.txt";
    const int row = list.Model()->AppendRow(longName, CIconCache::kDeviceFile, 0);
    list.Model()->SetText(row, CFileListModel::kSize, "251.97 GB(204799 MB free)");
    list.FinishFill();
    const QFontMetrics metrics = list.fontMetrics();
    list.SetMode(CFileListView::Mode::SmallIcon);
    QVERIFY(list.IconView()->gridSize().width() > metrics.horizontalAdvance(longName));
    list.SetMode(CFileListView::Mode::Details);
    QVERIFY(list.DetailsView()->columnWidth(CFileListModel::kSize) >
            metrics.horizontalAdvance("251.97 GB(204799 MB free)"));
}

void TestFrame::workerDialogGrowsToItsText() {
    CWorkerDialog dlg;
    dlg.SetText("connecting...");
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    dlg.SetText(
        "Initialize RPC fail, please comfirm that COM port is not used by other program !\n"
        "The port /dev/serial/by-id/usb-Some_Vendor_Some_Long_Adapter_Name-if00-port0 "
        "answered nothing.\nA third line.");
    QLabel* text = nullptr;
    for (QLabel* l : dlg.findChildren<QLabel*>())
        if (l->text().startsWith("Initialize")) text = l;
    QVERIFY(text);
    QTRY_VERIFY(text->height() >= text->heightForWidth(text->width()));
    QVERIFY(dlg.rect().contains(text->geometry()));
}

void TestFrame::progressLineLeavesOutWhatIsNotKnown() {
    const CJobProgressText::Words words{"File %1 of %2", "%1 of %2", "%1/s", "%1 left",
                                        "retries: %1"};
    CJobProgress p;
    p.fileIndex = 3;
    p.fileCount = 10;
    p.bytesDone = 1536;
    p.bytesTotal = 4096;
    p.retries = 2;
    QCOMPARE(CJobProgressText::Line(p, words),
             QString("File 3 of 10, 1.5 KiB of 4.0 KiB, retries: 2"));
    p.bytesPerSecond = 512;
    p.secondsLeft = 200;
    QCOMPARE(CJobProgressText::Line(p, words),
             QString("File 3 of 10, 1.5 KiB of 4.0 KiB, 512 bytes/s, 0:03:20 left, retries: 2"));
}

void TestFrame::aDetachedJobIsNeitherWaitedForNorHeard() {
    std::atomic<bool> release{false};
    std::atomic<bool> stopped{false};
    std::atomic<int> answer{0};
    int heard = 0;
    CJobHost::Listener listener;
    listener.ask = [&](const CJobQuestion&) { return ++heard; };
    listener.finished = [&] { ++heard; };
    auto host = CJobHost::Create(listener);
    host->Start([&](IJobHost& h) {
        while (!release.load()) std::this_thread::yield();
        stopped = h.StopRequested() && h.CancelRequested();
        answer = h.Ask(CJobQuestion{});
    });
    host->Detach();
    host.reset();  // the worker keeps what it needs
    release = true;
    QTRY_COMPARE(CJobRegistry::Running(), 0);
    QCoreApplication::processEvents();
    QVERIFY(stopped.load());
    QCOMPARE(answer.load(), CJobQuestion::kCancelButton);
    QCOMPARE(heard, 0);
}

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
