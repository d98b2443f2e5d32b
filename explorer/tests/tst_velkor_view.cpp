// The tree and the file list of both editions: root, drive, device, folder and terminal rows,
// the listing dialog, double-click and the per-file icons.
#include <QDir>
#include <QStandardPaths>
#include <QTreeView>
#include <QtTest>

#include "CFileListModel.h"
#include "CJobRegistry.h"
#include "CLeftView.h"
#include "CListFilesDlg.h"
#include "CMainFrame.h"
#include "CModalDriver.h"
#include "CSimFixture.h"
#include "CVelkorApp.h"
#include "CVelkorView.h"
#include "CVolumes.h"
#include "TreeItemForPath.h"

Q_DECLARE_METATYPE(CVelkorApp::Edition)

namespace {
const auto kEnglish = CVelkorApp::Edition::English;
const auto kChinese = CVelkorApp::Edition::Chinese;

QString Cell(CVelkorView* view, int row, CFileListModel::Column c) {
    return view->Model()->RowAt(row).text[c];
}

}  // namespace

class TestVelkorView : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void init() { CVelkorSettings().Clear(); }
    void cleanup() { QTRY_COMPARE_WITH_TIMEOUT(CJobRegistry::Running(), 0, 20000); }

    void rootShowsTwoSystemFolders_data();
    void rootShowsTwoSystemFolders();
    void driveRowsShowTypeAndSpace_data();
    void driveRowsShowTypeAndSpace();
    void deviceRowShowsStoreSpace_data();
    void deviceRowShowsStoreSpace();
    void withoutConnectionRemoteDevicesIsEmpty();
    void terminalListingShowsEveryFileWithSizeAndTime_data();
    void terminalListingShowsEveryFileWithSizeAndTime();
    void pcFolderListsFoldersThenFilesWithSizes();
    void hiddenPcFileNotListedHiddenFolderListed();
    void selectingFolderTwiceDoesNotGrowIconCache();
    void doubleClickOnDriveRowSelectsItInTree();
    void doubleClickOnFolderRowEntersIt();
    void folderCreatedAfterBuildIsAFileStyleRow();
    void cancelledListingClosesAtOnceAndNextListingWorks();
    void pulledCableIsNoticedAndTheNextListingReconnects();
    void columnsHaveEditionTitlesAndWidths_data();
    void columnsHaveEditionTitlesAndWidths();

  private:
    QString m_workRoot;
};

void TestVelkorView::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    // Temporary folders beside the build, on a real volume that the tree shows as a drive.
    m_workRoot = QDir::currentPath();
}

void TestVelkorView::rootShowsTwoSystemFolders_data() {
    QTest::addColumn<CVelkorApp::Edition>("edition");
    QTest::addColumn<QString>("type");
    QTest::newRow("en") << kEnglish << "System folder";
    QTest::newRow("zh") << kChinese << "系统文件夹";
}

void TestVelkorView::rootShowsTwoSystemFolders() {
    QFETCH(CVelkorApp::Edition, edition);
    QFETCH(QString, type);
    CVelkorSettings().SetAutoLink(0);
    CVelkorApp app(edition);
    CMainFrame* frame = app.InitInstance({});
    CVelkorView* list = frame->ListView();
    QCOMPARE(list->Model()->Count(), 2);
    QCOMPARE(Cell(list, 0, CFileListModel::kName), frame->LeftView()->ComputerItem()->text(0));
    QCOMPARE(Cell(list, 1, CFileListModel::kName), frame->LeftView()->DevicesItem()->text(0));
    QCOMPARE(Cell(list, 0, CFileListModel::kType), type);
    QCOMPARE(list->Model()->RowAt(0).image, 1);
    QCOMPARE(list->Model()->RowAt(1).image, 2);
}

void TestVelkorView::driveRowsShowTypeAndSpace_data() {
    QTest::addColumn<CVelkorApp::Edition>("edition");
    QTest::addColumn<QString>("localType");
    QTest::addColumn<QString>("spacePattern");
    QTest::addColumn<QString>("home");
    QTest::newRow("en") << kEnglish << "Local driver"
                        << R"(^(\d+\.\d\d GB\(\d+ MB free\)|\d+ MB\(\(\d+ MB free\)\))$)"
                        << "Home";
    QTest::newRow("zh") << kChinese << "本地磁盘"
                        << R"(^(\d+\.\d\d GB\(剩余\d+ MB\)|\d+ MB\(\(剩余\d+ MB\)\))$)"
                        << "主文件夹";
}

void TestVelkorView::driveRowsShowTypeAndSpace() {
    QFETCH(CVelkorApp::Edition, edition);
    QFETCH(QString, localType);
    QFETCH(QString, spacePattern);
    QFETCH(QString, home);
    CVelkorSettings().SetAutoLink(0);
    CVelkorApp app(edition);
    CMainFrame* frame = app.InitInstance({});
    CLeftView* tree = frame->LeftView();
    CVelkorView* list = frame->ListView();
    tree->SelectFolder(tree->ComputerItem());
    QCOMPARE(list->Model()->Count(), tree->ComputerItem()->childCount());
    QVERIFY(list->Model()->Count() >= 2);
    // The home folder comes first, then the volumes.
    QCOMPARE(tree->ComputerItem()->child(0)->text(0), home);
    QCOMPARE(tree->PathOf(tree->ComputerItem()->child(0)), QDir::homePath());
    const QRegularExpression space(spacePattern);
    bool sawFixed = false;
    for (int row = 0; row < list->Model()->Count(); ++row) {
        QTreeWidgetItem* drive = tree->ComputerItem()->child(row);
        QCOMPARE(Cell(list, row, CFileListModel::kName), drive->text(0));
        // A volume's label ends with the mount point in brackets where the letter stood, or
        // with the letter itself ("C:" of "C:/").
        const QString root = tree->PathOf(drive);
        const QString shown = root.size() > 1 && root.endsWith('/') ? root.chopped(1) : root;
        if (row > 0) QVERIFY(drive->text(0).endsWith("(" + shown + ")"));
        if (list->Model()->RowAt(row).image == 4) {
            sawFixed = true;
            QCOMPARE(Cell(list, row, CFileListModel::kType), localType);
            QVERIFY2(space.match(Cell(list, row, CFileListModel::kSize)).hasMatch(),
                     qPrintable(Cell(list, row, CFileListModel::kSize)));
        }
    }
    QVERIFY(sawFixed);
}

void TestVelkorView::deviceRowShowsStoreSpace_data() {
    QTest::addColumn<CVelkorApp::Edition>("edition");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("spacePattern");
    QTest::newRow("en") << kEnglish << "Devices"
                        << R"(^65536 KB\(\d+ KB free\)$)";
    QTest::newRow("zh") << kChinese << "掌上识读设备"
                        << R"(^65536 KB\(剩余\d+ KB\)$)";
}

void TestVelkorView::deviceRowShowsStoreSpace() {
    QFETCH(CVelkorApp::Edition, edition);
    QFETCH(QString, type);
    QFETCH(QString, spacePattern);
    CSimFixture sim({.port = 1});
    QS_REQUIRE_SIM(sim);
    CVelkorApp app(edition);
    CMainFrame* frame = app.InitInstance({});
    QVERIFY(app.Connected());
    CLeftView* tree = frame->LeftView();
    CVelkorView* list = frame->ListView();
    tree->SelectFolder(tree->DevicesItem());
    QCOMPARE(list->Model()->Count(), 1);
    QCOMPARE(Cell(list, 0, CFileListModel::kName), QString("ZOT_0_1"));
    QCOMPARE(Cell(list, 0, CFileListModel::kType), type);
    QCOMPARE(list->Model()->RowAt(0).image, 4);
    QVERIFY2(
        QRegularExpression(spacePattern).match(Cell(list, 0, CFileListModel::kSize)).hasMatch(),
        qPrintable(Cell(list, 0, CFileListModel::kSize)));
}

void TestVelkorView::withoutConnectionRemoteDevicesIsEmpty() {
    CVelkorSettings().SetAutoLink(0);
    CVelkorApp app(kEnglish);
    CMainFrame* frame = app.InitInstance({});
    frame->LeftView()->SelectFolder(frame->LeftView()->DevicesItem());
    QCOMPARE(frame->ListView()->Model()->Count(), 0);
}

void TestVelkorView::terminalListingShowsEveryFileWithSizeAndTime_data() {
    QTest::addColumn<CVelkorApp::Edition>("edition");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QString>("unknown");
    QTest::newRow("en") << kEnglish << " bytes"
                        << "Unknown";
    QTest::newRow("zh") << kChinese << "字节"
                        << "未知";
}

void TestVelkorView::terminalListingShowsEveryFileWithSizeAndTime() {
    QFETCH(CVelkorApp::Edition, edition);
    QFETCH(QString, bytes);
    QFETCH(QString, unknown);
    CSimFixture sim({.port = 1});
    QS_REQUIRE_SIM(sim);
    sim.AddFile("a.txt", 1023, 1700000000);  // 2023-11-14 22:13:20 UTC
    sim.AddFile("old.bin", 10, 0);
    QDir(sim.Root()).mkdir("sub");
    CVelkorApp app(edition);
    CMainFrame* frame = app.InitInstance({});
    CLeftView* tree = frame->LeftView();
    CVelkorView* list = frame->ListView();
    CModalDriver driver;
    QString caption, text;
    driver.Then([&](QWidget* w) {
        caption = w->windowTitle();
        if (auto* d = qobject_cast<CListFilesDlg*>(w)) text = d->Text();
    });
    tree->SelectFolder(tree->DevicesItem()->child(0));
    QCOMPARE(tree->CurrentPath(), QString("ZOT:"));
    QCOMPARE(list->Model()->Count(), 3);
    const int a = list->FindRow("a.txt");
    QVERIFY(a >= 0);
    QCOMPARE(Cell(list, a, CFileListModel::kSize), "1023" + bytes);
    QCOMPARE(Cell(list, a, CFileListModel::kTime), QString("2023-11-14 22:13:20"));
    QCOMPARE(Cell(list, a, CFileListModel::kType), QString());
    QCOMPARE(list->Model()->RowAt(a).image, 8);
    QCOMPARE(list->Model()->RowAt(a).itemData, quintptr(0));
    const int old = list->FindRow("old.bin");
    QCOMPARE(Cell(list, old, CFileListModel::kTime), unknown);
    // Terminal folders are not filtered: they get a row like a file.
    QVERIFY(list->HasRow("sub"));
    if (!caption.isEmpty()) {
        QCOMPARE(caption, edition == kChinese ? QString("查找文件") : QString("List files"));
        QCOMPARE(text, edition == kChinese ? QString("正在查找并列出文件,请稍候...")
                                           : QString("Listing files, please wait..."));
    }
}

void TestVelkorView::pcFolderListsFoldersThenFilesWithSizes() {
    QTemporaryDir dir(m_workRoot + "/velkor-view-XXXXXX");
    QVERIFY(dir.isValid());
    QDir(dir.path()).mkdir("zsub");
    for (auto [name, size] :
         {std::pair{"b1023.dat", 1023}, {"a1024.dat", 1024}, {"c2047.dat", 2047}}) {
        QFile f(dir.path() + "/" + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(size, 'x'));
    }
    CVelkorSettings().SetAutoLink(0);
    CVelkorApp app(kEnglish);
    CMainFrame* frame = app.InitInstance({});
    CLeftView* tree = frame->LeftView();
    CVelkorView* list = frame->ListView();
    QTreeWidgetItem* folder = TreeItemForPath(tree, dir.path());
    QVERIFY(folder);
    tree->Enumerate(folder);
    tree->SelectFolder(folder);
    QCOMPARE(tree->CurrentPath(), dir.path());
    QCOMPARE(list->Model()->Count(), 4);
    QCOMPARE(Cell(list, 0, CFileListModel::kName), QString("zsub"));  // tree folders first
    QCOMPARE(Cell(list, 0, CFileListModel::kType), QString("Folder"));
    QCOMPARE(Cell(list, 0, CFileListModel::kSize), QString());
    QVERIFY(!Cell(list, 0, CFileListModel::kTime).isEmpty());
    QCOMPARE(Cell(list, list->FindRow("b1023.dat"), CFileListModel::kSize), QString("1023 B"));
    QCOMPARE(Cell(list, list->FindRow("a1024.dat"), CFileListModel::kSize), QString("1 KB"));
    QCOMPARE(Cell(list, list->FindRow("c2047.dat"), CFileListModel::kSize), QString("1 KB"));
    QVERIFY(QRegularExpression(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d$)")
                .match(Cell(list, list->FindRow("a1024.dat"), CFileListModel::kTime))
                .hasMatch());
}

void TestVelkorView::hiddenPcFileNotListedHiddenFolderListed() {
    QTemporaryDir dir(m_workRoot + "/velkor-view-XXXXXX");
    QDir(dir.path()).mkdir(".hiddendir");
    QFile f(dir.path() + "/.hiddenfile");
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    CVelkorSettings().SetAutoLink(0);
    CVelkorApp app(kEnglish);
    CMainFrame* frame = app.InitInstance({});
    QTreeWidgetItem* folder = TreeItemForPath(frame->LeftView(), dir.path());
    QVERIFY(folder);
    frame->LeftView()->Enumerate(folder);
    QCOMPARE(folder->childCount(), 1);  // the hidden folder is in the tree
    frame->LeftView()->SelectFolder(folder);
    QVERIFY(frame->ListView()->HasRow(".hiddendir"));
    QVERIFY(!frame->ListView()->HasRow(".hiddenfile"));
}

void TestVelkorView::selectingFolderTwiceDoesNotGrowIconCache() {
    QTemporaryDir dir(m_workRoot + "/velkor-view-XXXXXX");
    for (const char* name : {"one.txt", "two.png", "three", "x"}) {
        QFile f(dir.path() + "/" + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    CVelkorSettings().SetAutoLink(0);
    CVelkorApp app(kEnglish);
    CMainFrame* frame = app.InitInstance({});
    QTreeWidgetItem* folder = TreeItemForPath(frame->LeftView(), dir.path());
    QVERIFY(folder);
    frame->LeftView()->SelectFolder(folder);
    QCOMPARE(app.Icons().Count(), 10 + 4);
    frame->LeftView()->SelectFolder(frame->LeftView()->ComputerItem());
    frame->LeftView()->SelectFolder(folder);
    QCOMPARE(app.Icons().Count(), 10 + 4);
    // A two-letter name without a desktop type takes the characters it has.
    QCOMPARE(frame->ListView()
                 ->Model()
                 ->RowAt(frame->ListView()->FindRow("x"))
                 .text[CFileListModel::kType],
             QString("X 文件"));
}

void TestVelkorView::doubleClickOnDriveRowSelectsItInTree() {
    CVelkorSettings().SetAutoLink(0);
    CVelkorApp app(kEnglish);
    CMainFrame* frame = app.InitInstance({});
    CLeftView* tree = frame->LeftView();
    CVelkorView* list = frame->ListView();
    tree->SelectFolder(tree->ComputerItem());
    list->SetMode(CFileListView::Mode::Details);
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    QTreeView* view = list->DetailsView();
    const QRect r = view->visualRect(list->Model()->index(0, 0));
    QVERIFY(r.isValid());
    // A view takes a double-click only on the row that was pressed first.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, r.center());
    QTRY_COMPARE(tree->CurrentFolderItem(), tree->ComputerItem()->child(0));
    QCOMPARE(tree->currentItem(), tree->ComputerItem()->child(0));
}

void TestVelkorView::doubleClickOnFolderRowEntersIt() {
    QTemporaryDir dir(m_workRoot + "/velkor-view-XXXXXX");
    QDir(dir.path()).mkdir("inner");
    CVelkorSettings().SetAutoLink(0);
    CVelkorApp app(kEnglish);
    CMainFrame* frame = app.InitInstance({});
    QTreeWidgetItem* folder = TreeItemForPath(frame->LeftView(), dir.path());
    QVERIFY(folder);
    frame->LeftView()->Enumerate(folder);
    frame->LeftView()->SelectFolder(folder);
    frame->OnRowActivated(frame->ListView()->FindRow("inner"));
    QCOMPARE(frame->LeftView()->CurrentPath(), dir.path() + "/inner");
}

void TestVelkorView::folderCreatedAfterBuildIsAFileStyleRow() {
    QTemporaryDir dir(m_workRoot + "/velkor-view-XXXXXX");
    CVelkorSettings().SetAutoLink(0);
    CVelkorApp app(kEnglish);
    CMainFrame* frame = app.InitInstance({});
    QTreeWidgetItem* folder = TreeItemForPath(frame->LeftView(), dir.path());
    QVERIFY(folder);
    frame->LeftView()->SelectFolder(folder);  // the tree has enumerated it (empty)
    QDir(dir.path()).mkdir("late");
    frame->LeftView()->SelectFolder(frame->LeftView()->ComputerItem());
    frame->LeftView()->SelectFolder(folder);
    QCOMPARE(folder->childCount(), 0);
    const int row = frame->ListView()->FindRow("late");
    QVERIFY(row >= 0);
    QCOMPARE(frame->ListView()->Model()->RowAt(row).itemData, quintptr(0));
    QVERIFY(frame->ListView()->Model()->RowAt(row).image >= 10);
}

void TestVelkorView::cancelledListingClosesAtOnceAndNextListingWorks() {
    CSimFixture sim({.port = 1, .inProcess = true});
    QS_REQUIRE_SIM(sim);
    for (int i = 0; i < 5; ++i) sim.AddFile(QString("f%1.txt").arg(i), 10);
    CVelkorApp app(kEnglish);
    CMainFrame* frame = app.InitInstance({});
    QVERIFY(app.Connected());
    zotsim::Fault slow;
    slow.kind = zotsim::Fault::Kind::kDelay;
    slow.request = 0;
    slow.command = -1;
    slow.delayMs = 1500;
    slow.count = 3;
    sim.Sim().AddFault(slow);
    CModalDriver driver;
    const uint32_t before = sim.Sim().RequestCount();
    driver.Then([&](QWidget* w) {
        // Cancel once the worker is inside the library, waiting for the late reply.
        QTRY_VERIFY(sim.Sim().RequestCount() > before);
        static_cast<QDialog*>(w)->reject();
    });
    QTreeWidgetItem* device = frame->LeftView()->DevicesItem()->child(0);
    frame->LeftView()->SelectFolder(device);
    // The dialog closed while its worker was still waiting for the terminal.
    QVERIFY(CJobRegistry::Running() > 0);
    QVERIFY(frame->ListView()->Model()->Count() < 5);
    // The next listing waits for the abandoned one off the user-interface thread, then runs.
    sim.Sim().ClearFaults();
    frame->LeftView()->SelectFolder(frame->LeftView()->RootItem());
    frame->LeftView()->SelectFolder(device);
    QCOMPARE(frame->ListView()->Model()->Count(), 5);
}

void TestVelkorView::pulledCableIsNoticedAndTheNextListingReconnects() {
    CSimFixture sim({.port = 1, .inProcess = true});
    QS_REQUIRE_SIM(sim);
    sim.AddFile("f.txt", 10);
    CVelkorApp app(kEnglish);
    CMainFrame* frame = app.InitInstance({});
    QVERIFY(app.Connected());
    const QString connectedTitle = frame->windowTitle();
    QTreeWidgetItem* device = frame->LeftView()->DevicesItem()->child(0);
    CModalDriver driver;
    frame->LeftView()->SelectFolder(device);
    QCOMPARE(frame->ListView()->Model()->Count(), 1);
    // Pulled: the listing fails at once rather than waiting out the terminal's time.
    sim.Sim().Unplug();
    frame->LeftView()->SelectFolder(frame->LeftView()->RootItem());
    frame->LeftView()->SelectFolder(device);
    QCOMPARE(frame->ListView()->Model()->Count(), 0);
    QCOMPARE(app.Backend().LinkState(), IDeviceBackend::Link::Down);
    // The window says so: the title, and the device item's tip.
    QTRY_COMPARE(frame->windowTitle(), connectedTitle + " - the device is not answering");
    QCOMPARE(device->toolTip(0), QString("the device is not answering"));
    // Plugged in again: the next listing works, without Connect.
    QVERIFY(sim.Sim().Replug());
    frame->LeftView()->SelectFolder(frame->LeftView()->RootItem());
    frame->LeftView()->SelectFolder(device);
    QCOMPARE(frame->ListView()->Model()->Count(), 1);
    QCOMPARE(app.Backend().LinkState(), IDeviceBackend::Link::Up);
    QTRY_COMPARE(frame->windowTitle(), connectedTitle);
    QCOMPARE(device->toolTip(0), QString());
    // Pulled and plugged in again between two listings: the next one works too.
    sim.Sim().Unplug();
    QVERIFY(sim.Sim().Replug());
    frame->LeftView()->SelectFolder(frame->LeftView()->RootItem());
    frame->LeftView()->SelectFolder(device);
    QCOMPARE(frame->ListView()->Model()->Count(), 1);
}

void TestVelkorView::columnsHaveEditionTitlesAndWidths_data() {
    QTest::addColumn<CVelkorApp::Edition>("edition");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("en") << kEnglish << QStringList{"Name", "Size", "Type", "Modify time"};
    QTest::newRow("zh") << kChinese << QStringList{"名称", "大小", "类型", "修改时间"};
}

void TestVelkorView::columnsHaveEditionTitlesAndWidths() {
    QFETCH(CVelkorApp::Edition, edition);
    QFETCH(QStringList, titles);
    CVelkorSettings().SetAutoLink(0);
    CVelkorApp app(edition);
    CMainFrame* frame = app.InitInstance({});
    CVelkorView* list = frame->ListView();
    QCOMPARE(list->CurrentMode(), CFileListView::Mode::Icon);
    const int widths[] = {130, 100, 85, 135};
    for (int c = 0; c < 4; ++c) {
        QCOMPARE(list->Model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(),
                 titles[c]);
        QCOMPARE(list->DetailsView()->columnWidth(c), widths[c]);
    }
}

QTEST_MAIN(TestVelkorView)
#include "tst_velkor_view.moc"
