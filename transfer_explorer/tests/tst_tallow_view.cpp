// The folder tree and the file list: labels, paths, Up and Refresh, the summaries, local and
// device listings with their texts, and the find dialog's reconnect and cancel rules.
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <ctime>

#include "CDevicePath.h"
#include "CFindInfoDlg.h"
#include "CJobRegistry.h"
#include "CLeftView.h"
#include "CMainFrame.h"
#include "CModalDriver.h"
#include "CShowSpy.h"
#include "CSimFixture.h"
#include "CTallowApp.h"
#include "CTallowView.h"
#include "TreeItemForPath.h"

namespace {

QString Cell(CTallowView* view, int row, CFileListModel::Column column) {
    return view->Model()->RowAt(row).text[column];
}

void WriteFile(const QString& path, qint64 size) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(static_cast<qsizetype>(size), 'x'));
}

}  // namespace

class TestTallowView : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        // Far from UTC, so that a local-time conversion of the terminal's times would show.
        qputenv("TZ", "Pacific/Kiritimati");
        tzset();
    }
    void init() {
        CTallowSettings().Clear();
        ::unsetenv("DRIFTBOX_USB");
    }
    void cleanup() { QTRY_COMPARE(CJobRegistry::Running(), 0); }

    void treeLabelsImagesAndPaths();
    void upOneLevelClimbsUntilTheTopLevel();
    void refreshReselectsTheCurrentItemAndRefills();
    void rootListsTwoSystemFolders();
    void localListingTexts();
    void deviceListingTextsAndFullSizes();
    void deviceTextRules();
    void twoDeviceEntriesWithOneNameMakeOneRow();
    void deviceSummaryShowsStoreSpace();
    void driveSummaryTypesAndSpace();
    void findReconnectsOnceWhenTheSettingsClosedTheConnection();
    void pulledCableIsNoticedAndTheNextListingWorks();
    void findWithoutTerminalSaysFailedAndListsNothing();
    void findCancelAbandonsTheThreadAndALaterListingWorks();
    void doubleClickOnAPlaceSelectsItsTreeItem();
    void viewModeCommandsSwitchAndCheck();
    void copyAndDeleteFollowTheirEnableRule();
};

void TestTallowView::treeLabelsImagesAndPaths() {
    CSimFixture sim;
    QS_REQUIRE_SIM(sim);
    sim.ExposeAs(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    CLeftView* tree = frame->LeftView();
    QCOMPARE(tree->RootItem()->text(0), QStringLiteral("资源管理器"));
    QCOMPARE(tree->ComputerItem()->text(0), QStringLiteral("我的电脑"));
    QCOMPARE(tree->DevicesItem()->text(0), QStringLiteral("掌上设备"));
    QCOMPARE(CFolderTree::ImageOf(tree->RootItem()), 0);
    QCOMPARE(CFolderTree::ImageOf(tree->ComputerItem()), 1);
    QCOMPARE(CFolderTree::ImageOf(tree->DevicesItem()), 2);
    QTreeWidgetItem* device = tree->DevicesItem()->child(0);
    QCOMPARE(device->text(0), QStringLiteral("ZOT_0_1"));
    QCOMPARE(CFolderTree::ImageOf(device), 4);
    QCOMPARE(tree->PathOf(device), QStringLiteral("ZOT:"));
    QCOMPARE(device->childCount(), 0);
    for (QTreeWidgetItem* top : {tree->RootItem(), tree->ComputerItem(), tree->DevicesItem()})
        QCOMPARE(tree->PathOf(top), QString());
    // After a rebuild the root is current, the path empty and nothing is listed.
    QCOMPARE(tree->CurrentFolderItem(), tree->RootItem());
    QVERIFY(tree->CurrentPath().isEmpty());
    QCOMPARE(frame->ListView()->Model()->Count(), 0);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("outer/inner")));
    QTreeWidgetItem* outer = TreeItemForPath(tree, dir.path() + QStringLiteral("/outer"));
    QVERIFY(outer);
    QCOMPARE(tree->PathOf(outer), dir.path() + QStringLiteral("/outer"));
    QCOMPARE(CFolderTree::ImageOf(outer), 7);
    tree->SelectFolder(outer);
    QCOMPARE(tree->CurrentPath(), dir.path() + QStringLiteral("/outer"));
    QCOMPARE(outer->childCount(), 1);
    QCOMPARE(outer->child(0)->text(0), QStringLiteral("inner"));
}

void TestTallowView::upOneLevelClimbsUntilTheTopLevel() {
    CSimFixture sim;
    QS_REQUIRE_SIM(sim);
    sim.ExposeAs(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    CLeftView* tree = frame->LeftView();
    tree->SelectFolder(tree->DevicesItem()->child(0));
    frame->UpAction()->trigger();
    QCOMPARE(tree->CurrentFolderItem(), tree->DevicesItem());
    frame->UpAction()->trigger();
    QCOMPARE(tree->CurrentFolderItem(), tree->DevicesItem());
    QVERIFY(tree->ComputerItem()->childCount() > 0);
    tree->SelectFolder(tree->ComputerItem()->child(0));
    frame->UpAction()->trigger();
    QCOMPARE(tree->CurrentFolderItem(), tree->ComputerItem());
    tree->SelectFolder(tree->RootItem());
    frame->UpAction()->trigger();
    QCOMPARE(tree->CurrentFolderItem(), tree->RootItem());
}

void TestTallowView::refreshReselectsTheCurrentItemAndRefills() {
    CTallowSettings().SetAutoLink(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    CLeftView* tree = frame->LeftView();
    QTemporaryDir dir;
    WriteFile(dir.filePath(QStringLiteral("a.txt")), 10);
    QTreeWidgetItem* item = TreeItemForPath(tree, dir.path());
    QVERIFY(item);
    tree->SelectFolder(item);
    QCOMPARE(frame->ListView()->Model()->Count(), 1);
    WriteFile(dir.filePath(QStringLiteral("b.txt")), 10);
    frame->RefreshAction()->trigger();
    QCOMPARE(tree->CurrentFolderItem(), item);
    QCOMPARE(frame->ListView()->Model()->Count(), 2);
}

void TestTallowView::rootListsTwoSystemFolders() {
    CTallowSettings().SetAutoLink(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    frame->LeftView()->SelectFolder(frame->LeftView()->RootItem());
    CTallowView* list = frame->ListView();
    QCOMPARE(list->Model()->Count(), 2);
    QCOMPARE(Cell(list, 0, CFileListModel::kName), QStringLiteral("我的电脑"));
    QCOMPARE(Cell(list, 1, CFileListModel::kName), QStringLiteral("掌上设备"));
    QCOMPARE(list->Model()->RowAt(0).image, 1);
    QCOMPARE(list->Model()->RowAt(1).image, 2);
    for (int r = 0; r < 2; ++r)
        QCOMPARE(Cell(list, r, CFileListModel::kType), QStringLiteral("系统文件夹"));
}

void TestTallowView::localListingTexts() {
    CTallowSettings().SetAutoLink(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    QTemporaryDir dir;
    QDir d(dir.path());
    QVERIFY(d.mkdir(QStringLiteral("sub")));
    QVERIFY(d.mkdir(QStringLiteral(".hiddendir")));
    WriteFile(d.filePath(QStringLiteral("f1023.txt")), 1023);
    WriteFile(d.filePath(QStringLiteral("f1024.txt")), 1024);
    WriteFile(d.filePath(QStringLiteral("f1535.txt")), 1535);
    WriteFile(d.filePath(QStringLiteral("README")), 5);
    WriteFile(d.filePath(QStringLiteral(".hidden")), 5);
    QTreeWidgetItem* item = TreeItemForPath(frame->LeftView(), dir.path());
    QVERIFY(item);
    frame->LeftView()->SelectFolder(item);
    CTallowView* list = frame->ListView();
    auto rowOf = [&](const char* name) { return list->FindRow(QString::fromUtf8(name)); };
    QCOMPARE(Cell(list, rowOf("f1023.txt"), CFileListModel::kSize), QStringLiteral("1023 B"));
    QCOMPARE(Cell(list, rowOf("f1024.txt"), CFileListModel::kSize), QStringLiteral("1 KB"));
    QCOMPARE(Cell(list, rowOf("f1535.txt"), CFileListModel::kSize), QStringLiteral("1 KB"));
    QCOMPARE(Cell(list, rowOf("README"), CFileListModel::kType), QStringLiteral("DME 文件"));
    QCOMPARE(rowOf(".hidden"), -1);
    QVERIFY(rowOf(".hiddendir") >= 0);
    // Folder rows come first, from the tree, and carry their item.
    const int sub = rowOf("sub");
    QVERIFY(sub >= 0);
    QCOMPARE(Cell(list, sub, CFileListModel::kType), QStringLiteral("文件夹"));
    QVERIFY(list->Model()->RowAt(sub).itemData != 0);
    QCOMPARE(list->Model()->RowAt(rowOf("README")).itemData, quintptr(0));
    const QDateTime modified = QFileInfo(d.filePath(QStringLiteral("README"))).lastModified();
    QCOMPARE(Cell(list, rowOf("README"), CFileListModel::kTime),
             modified.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

void TestTallowView::deviceListingTextsAndFullSizes() {
    CSimFixture sim;
    QS_REQUIRE_SIM(sim);
    sim.ExposeAs(0);
    sim.AddFile(QStringLiteral("day1.txt"), 100, 86400);
    sim.AddFile(QStringLiteral("epoch.bin"), 7, 0);
    // 3 GiB, sparse: as a signed 32-bit number it would read -1073741824.
    sim.AddFile(QStringLiteral("big.bin"), 3221225472LL, 86400);
    QString caption, text, cancel, finalText;
    CShowSpy spy([&](QWidget* w) {
        if (auto* dlg = qobject_cast<CFindInfoDlg*>(w)) {
            caption = dlg->windowTitle();
            text = dlg->Text();
            cancel = dlg->CancelButton()->text();
            connect(dlg, &QDialog::finished, dlg, [&, dlg] { finalText = dlg->Text(); });
        }
    });
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    frame->LeftView()->SelectFolder(frame->LeftView()->DevicesItem()->child(0));
    QCOMPARE(caption, QStringLiteral("查找文件"));
    QCOMPARE(text, QStringLiteral("查找并列出文件,请稍候..."));
    QCOMPARE(cancel, QStringLiteral("取消"));
    QCOMPARE(finalText, QStringLiteral("查找成功..."));
    CTallowView* list = frame->ListView();
    QCOMPARE(list->Model()->Count(), 3);
    const int day1 = list->FindRow(QStringLiteral("day1.txt"));
    QCOMPARE(Cell(list, day1, CFileListModel::kSize), QStringLiteral("100字节"));
    QCOMPARE(Cell(list, day1, CFileListModel::kTime), QStringLiteral("1970-01-02 00:00:00"));
    QCOMPARE(Cell(list, day1, CFileListModel::kType), QString());
    QCOMPARE(list->Model()->RowAt(day1).image, 8);
    const int epoch = list->FindRow(QStringLiteral("epoch.bin"));
    QCOMPARE(Cell(list, epoch, CFileListModel::kTime), QStringLiteral("未知"));
    const int big = list->FindRow(QStringLiteral("big.bin"));
    QCOMPARE(Cell(list, big, CFileListModel::kSize), QStringLiteral("3221225472字节"));
}

void TestTallowView::deviceTextRules() {
    QCOMPARE(CTallowView::DeviceTimeText(0), QStringLiteral("未知"));
    QCOMPARE(CTallowView::DeviceTimeText(86400000), QStringLiteral("1970-01-02 00:00:00"));
    QCOMPARE(CTallowView::DeviceTimeText(86400999), QStringLiteral("1970-01-02 00:00:00"));
    QCOMPARE(CTallowView::DeviceTimeText(-1000), QStringLiteral("1969-12-31 23:59:59"));
    QCOMPARE(CTallowView::DeviceTimeText(std::numeric_limits<int64_t>::max()),
             QStringLiteral("0000-00-00 00:00:00"));
    QCOMPARE(CTallowView::DeviceSizeText(1023), QStringLiteral("1023字节"));
    QCOMPARE(CTallowView::DeviceSizeText(3221225472ULL), QStringLiteral("3221225472字节"));
    QCOMPARE(CTallowView::DeviceSizeText(5368709120ULL), QStringLiteral("5368709120字节"));
}

void TestTallowView::twoDeviceEntriesWithOneNameMakeOneRow() {
    CTallowSettings().SetAutoLink(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    CTallowView* list = frame->ListView();
    list->AddOrUpdateDeviceRow({QStringLiteral("same.dat"), 0, 0, 10}, false);
    list->AddOrUpdateDeviceRow({QStringLiteral("same.dat"), 0, 86400000, 20}, false);
    QCOMPARE(list->Model()->Count(), 1);
    QCOMPARE(Cell(list, 0, CFileListModel::kSize), QStringLiteral("20字节"));
    QCOMPARE(Cell(list, 0, CFileListModel::kTime), QStringLiteral("1970-01-02 00:00:00"));
    // A name differing only in case is another row.
    list->AddOrUpdateDeviceRow({QStringLiteral("SAME.dat"), 0, 0, 1}, true);
    QCOMPARE(list->Model()->Count(), 2);
    QCOMPARE(list->SelectedRows(), QList<int>{1});
}

void TestTallowView::deviceSummaryShowsStoreSpace() {
    CSimFixture sim;
    QS_REQUIRE_SIM(sim);
    sim.ExposeAs(0);
    sim.AddFile(QStringLiteral("k.bin"), 4096);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    frame->LeftView()->SelectFolder(frame->LeftView()->DevicesItem());
    CTallowView* list = frame->ListView();
    QCOMPARE(list->Model()->Count(), 1);
    QCOMPARE(Cell(list, 0, CFileListModel::kName), QStringLiteral("ZOT_0_1"));
    QCOMPARE(Cell(list, 0, CFileListModel::kType), QStringLiteral("掌上识读设备"));
    QCOMPARE(list->Model()->RowAt(0).image, 4);
    const QString size = Cell(list, 0, CFileListModel::kSize);
    QVERIFY2(
        QRegularExpression(QStringLiteral("^65536 KB\\(剩余\\d+ KB\\)$")).match(size).hasMatch(),
        qPrintable(size));
    QVERIFY(app.Backend().Handle() != 0);
}

void TestTallowView::driveSummaryTypesAndSpace() {
    CTallowSettings().SetAutoLink(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    CLeftView* tree = frame->LeftView();
    tree->SelectFolder(tree->ComputerItem());
    CTallowView* list = frame->ListView();
    QCOMPARE(list->Model()->Count(), tree->ComputerItem()->childCount());
    const QRegularExpression space(
        QStringLiteral("^(\\d+\\.\\d\\d GB\\(剩余\\d+ MB\\)|\\d+ MB\\(\\(剩余\\d+ MB\\)\\))$"));
    for (int r = 0; r < list->Model()->Count(); ++r) {
        const int image = list->Model()->RowAt(r).image;
        QCOMPARE(Cell(list, r, CFileListModel::kType), list->DriveTypeText(image));
        const QString size = Cell(list, r, CFileListModel::kSize);
        if (image == 3)
            QCOMPARE(size, QStringLiteral("没有检测"));
        else if (!size.isEmpty())
            QVERIFY2(space.match(size).hasMatch(), qPrintable(size));
    }
    QCOMPARE(list->DriveTypeText(4), QStringLiteral("本地磁盘"));
    QCOMPARE(list->DriveTypeText(5), QStringLiteral("光盘"));
    QCOMPARE(list->DriveTypeText(6), QStringLiteral("网络驱动器"));
    QCOMPARE(list->DriveTypeText(3), QStringLiteral("3.5英寸软盘"));
}

void TestTallowView::findReconnectsOnceWhenTheSettingsClosedTheConnection() {
    CSimFixture sim;
    QS_REQUIRE_SIM(sim);
    sim.ExposeAs(0);
    sim.AddFile(QStringLiteral("one.txt"), 1);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    app.ApplySettings(0, 57600);
    QCOMPARE(app.Backend().Handle(), 0);
    frame->LeftView()->SelectFolder(frame->LeftView()->DevicesItem()->child(0));
    QVERIFY(app.Backend().Handle() != 0);
    QCOMPARE(frame->ListView()->Model()->Count(), 1);
}

void TestTallowView::pulledCableIsNoticedAndTheNextListingWorks() {
    CSimFixture sim({"ZotSim", 0, -1, true});
    QS_REQUIRE_SIM(sim);
    sim.ExposeAs(0);
    sim.AddFile(QStringLiteral("one.txt"), 1);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    QTreeWidgetItem* device = frame->LeftView()->DevicesItem()->child(0);
    frame->LeftView()->SelectFolder(device);
    QCOMPARE(frame->ListView()->Model()->Count(), 1);
    sim.Sim().Unplug();
    frame->LeftView()->SelectFolder(frame->LeftView()->RootItem());
    frame->LeftView()->SelectFolder(device);
    QCOMPARE(frame->ListView()->Model()->Count(), 0);
    QCOMPARE(app.Backend().LinkState(), IDeviceBackend::Link::Down);
    // Back: the same connection lists again, without 连接.
    const int32_t handle = app.Backend().Handle();
    QVERIFY(sim.Sim().Replug());
    frame->LeftView()->SelectFolder(frame->LeftView()->RootItem());
    frame->LeftView()->SelectFolder(device);
    QCOMPARE(frame->ListView()->Model()->Count(), 1);
    QCOMPARE(app.Backend().LinkState(), IDeviceBackend::Link::Up);
    QCOMPARE(app.Backend().Handle(), handle);
    // Pulled and plugged in again between two listings: the next one works too.
    sim.Sim().Unplug();
    QVERIFY(sim.Sim().Replug());
    frame->LeftView()->SelectFolder(frame->LeftView()->RootItem());
    frame->LeftView()->SelectFolder(device);
    QCOMPARE(frame->ListView()->Model()->Count(), 1);
}

void TestTallowView::findWithoutTerminalSaysFailedAndListsNothing() {
    CSimFixture sim;
    QS_REQUIRE_SIM(sim);
    sim.ExposeAs(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    app.ApplySettings(0, 57600);
    ::setenv("DRIFTBOX_USB", "/nonexistent/tty-driftbox", 1);
    QStringList outcomes;
    CShowSpy spy([&](QWidget* w) {
        if (auto* dlg = qobject_cast<CFindInfoDlg*>(w))
            connect(dlg, &QDialog::finished, dlg, [&, dlg] { outcomes << dlg->Text(); });
    });
    frame->LeftView()->SelectFolder(frame->LeftView()->DevicesItem()->child(0));
    QCOMPARE(outcomes, QStringList{QStringLiteral("查找失败...")});
    QCOMPARE(frame->ListView()->Model()->Count(), 0);
    QVERIFY(!app.Connected());
}

void TestTallowView::findCancelAbandonsTheThreadAndALaterListingWorks() {
    CSimFixture sim({"ZotSim", 20});
    QS_REQUIRE_SIM(sim);
    sim.ExposeAs(0);
    for (int i = 0; i < 30; ++i)
        sim.AddFile(QStringLiteral("f%1.txt").arg(i, 2, 10, QLatin1Char('0')), i);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    CTallowView* list = frame->ListView();
    CModalDriver driver;
    // Cancel once the first rows are in: the thread is then in the middle of the listing.
    driver.Then([&](QWidget* w) {
        auto* dlg = qobject_cast<CFindInfoDlg*>(w);
        QVERIFY(dlg);
        QTRY_VERIFY(list->Model()->Count() >= 2);
        dlg->CancelButton()->click();
    });
    frame->LeftView()->SelectFolder(frame->LeftView()->DevicesItem()->child(0));
    const int rowsAtCancel = list->Model()->Count();
    QVERIFY(rowsAtCancel >= 2 && rowsAtCancel < 30);
    // The abandoned thread ends by itself; nothing it found later reaches the list.
    QTRY_COMPARE(CJobRegistry::Running(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(list->Model()->Count(), rowsAtCancel);
    frame->RefreshAction()->trigger();
    QCOMPARE(list->Model()->Count(), 30);
}

void TestTallowView::doubleClickOnAPlaceSelectsItsTreeItem() {
    CTallowSettings().SetAutoLink(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    CLeftView* tree = frame->LeftView();
    tree->SelectFolder(tree->RootItem());
    frame->OnRowActivated(0);
    QCOMPARE(tree->CurrentFolderItem(), tree->ComputerItem());
    QCOMPARE(frame->ListView()->Model()->Count(), tree->ComputerItem()->childCount());
}

void TestTallowView::viewModeCommandsSwitchAndCheck() {
    CTallowSettings().SetAutoLink(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    QCOMPARE(frame->ListView()->CurrentMode(), CFileListView::Mode::Icon);
    QVERIFY(frame->ModeAction(0)->isChecked());
    QCOMPARE(frame->ModeAction(3)->text(), QStringLiteral("详细资料(&D)"));
    frame->ModeAction(3)->trigger();
    QCOMPARE(frame->ListView()->CurrentMode(), CFileListView::Mode::Details);
    QVERIFY(frame->ModeAction(3)->isChecked());
    QVERIFY(!frame->ModeAction(0)->isChecked());
    frame->ModeAction(1)->trigger();
    QCOMPARE(frame->ListView()->CurrentMode(), CFileListView::Mode::SmallIcon);
}

void TestTallowView::copyAndDeleteFollowTheirEnableRule() {
    CTallowSettings().SetAutoLink(0);
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    CLeftView* tree = frame->LeftView();
    QTemporaryDir dir;
    WriteFile(dir.filePath(QStringLiteral("a.txt")), 1);
    frame->SetActivePane(CMainFrame::Pane::Tree);
    tree->SelectFolder(tree->ComputerItem()->child(0));
    QVERIFY(!frame->CopyAction()->isEnabled());
    QVERIFY(!frame->DeleteAction()->isEnabled());
    QTreeWidgetItem* item = TreeItemForPath(tree, dir.path());
    tree->SelectFolder(item);
    QVERIFY(frame->CopyAction()->isEnabled());
    QVERIFY(frame->DeleteAction()->isEnabled());
    frame->SetActivePane(CMainFrame::Pane::List);
    QVERIFY(!frame->CopyAction()->isEnabled());
    frame->ListView()->SelectRow(0);
    QVERIFY(frame->CopyAction()->isEnabled());
    QVERIFY(frame->DeleteAction()->isEnabled());

    auto* none = new QMimeData;
    none->setText(QStringLiteral("text"));
    QGuiApplication::clipboard()->setMimeData(none);
    QTRY_VERIFY(!frame->PasteAction()->isEnabled());
    auto* files = new QMimeData;
    files->setUrls({QUrl::fromLocalFile(dir.filePath(QStringLiteral("a.txt")))});
    QGuiApplication::clipboard()->setMimeData(files);
    QTRY_VERIFY(frame->PasteAction()->isEnabled());
}

QTEST_MAIN(TestTallowView)
#include "tst_tallow_view.moc"
