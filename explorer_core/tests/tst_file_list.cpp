// The shared file list: PC and terminal rows added or updated by name, the per-file icons,
// the filters of a PC folder, and find-by-name.
#include <QAbstractItemView>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "CFileListView.h"
#include "CIconCache.h"
#include "CTextFormats.h"

class TestFileList : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void fixedImagesAreTenAndStay();
    void pcRowsGetIconTypeSizeAndTimeAndUpdateInPlace();
    void hiddenFilesLeftOutHiddenFoldersKept();
    void refillDropsPerFileIconsFirst();
    void terminalRowsUpdateByNameAndShowUnknownTime();
    void findRowComparesExactlyAndFindsTheFirst();
    void addOrUpdateWithSelectSelectsAndFocuses();
};

namespace {
void Touch(const QString& path, int size = 0) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(size, 'a'));
}
}  // namespace

void TestFileList::fixedImagesAreTenAndStay() {
    CIconCache icons;
    QCOMPARE(icons.Count(), 10);
    for (int i = 0; i < 10; ++i) QVERIFY(!icons.Icon(i).isNull());
    QString type;
    icons.AppendFileIcon("/x/a.txt", false, &type);
    QCOMPARE(icons.Count(), 11);
    icons.TrimToFixed();
    QCOMPARE(icons.Count(), 10);
    QVERIFY(!CIconCache::DrawnIcon(CIconCache::kFolder).pixmap(32, 32).isNull());
}

void TestFileList::pcRowsGetIconTypeSizeAndTimeAndUpdateInPlace() {
    QTemporaryDir dir;
    Touch(dir.path() + "/notes.txt", 2047);
    CIconCache icons;
    CFileListView list(&icons);
    list.AppendPcFiles(dir.path());
    QCOMPARE(list.Model()->Count(), 1);
    const auto& row = list.Model()->RowAt(0);
    QCOMPARE(row.text[CFileListModel::kName], QString("notes.txt"));
    QCOMPARE(row.text[CFileListModel::kSize], QString("1 KB"));
    QVERIFY(!row.text[CFileListModel::kType].isEmpty());
    QCOMPARE(row.image, 10);
    QCOMPARE(row.itemData, quintptr(0));
    Touch(dir.path() + "/notes.txt", 10);
    list.AddOrUpdatePcRow(dir.path(), QFileInfo(dir.path() + "/notes.txt"), false);
    QCOMPARE(list.Model()->Count(), 1);
    QCOMPARE(list.Model()->RowAt(0).text[CFileListModel::kSize], QString("10 B"));
    QCOMPARE(icons.Count(), 11);  // an update keeps the row's image
}

void TestFileList::hiddenFilesLeftOutHiddenFoldersKept() {
    QTemporaryDir dir;
    Touch(dir.path() + "/.secret");
    Touch(dir.path() + "/shown");
    QDir(dir.path()).mkdir(".config");
    CIconCache icons;
    CFileListView list(&icons);
    list.AppendPcFiles(dir.path());
    QVERIFY(list.HasRow("shown"));
    QVERIFY(list.HasRow(".config"));
    QVERIFY(!list.HasRow(".secret"));
    QVERIFY(!list.HasRow("."));
    QVERIFY(!list.HasRow(".."));
}

void TestFileList::refillDropsPerFileIconsFirst() {
    QTemporaryDir dir;
    for (int i = 0; i < 5; ++i) Touch(dir.path() + QString("/f%1.txt").arg(i));
    CIconCache icons;
    CFileListView list(&icons);
    list.AppendPcFiles(dir.path());
    QCOMPARE(icons.Count(), 15);
    list.Clear();
    list.AppendPcFiles(dir.path());
    QCOMPARE(icons.Count(), 15);
}

void TestFileList::terminalRowsUpdateByNameAndShowUnknownTime() {
    CIconCache icons;
    CFileListView list(&icons);
    CFileListView::Texts texts;
    texts.deviceSize = [](uint64_t size) {
        return CTextFormats::DeviceSize(static_cast<uint32_t>(size), "%u bytes");
    };
    texts.deviceTime = [](int64_t timeMs) {
        return CTextFormats::DeviceTime(static_cast<uint32_t>(timeMs / 1000), "Unknown");
    };
    list.SetTexts(texts);
    IDeviceBackend::Entry e;
    e.name = "big.bin";
    e.size = 0xC0000000u;  // 3 GiB: the size stays positive
    e.timeMs = 0;
    list.AddOrUpdateDeviceRow(e, false);
    QCOMPARE(list.Model()->RowAt(0).text[CFileListModel::kSize], QString("3221225472 bytes"));
    QCOMPARE(list.Model()->RowAt(0).text[CFileListModel::kTime], QString("Unknown"));
    QCOMPARE(list.Model()->RowAt(0).image, int(CIconCache::kDeviceFile));
    e.size = 5;
    e.timeMs = 86400000;
    list.AddOrUpdateDeviceRow(e, false);
    QCOMPARE(list.Model()->Count(), 1);
    QCOMPARE(list.Model()->RowAt(0).text[CFileListModel::kSize], QString("5 bytes"));
    QCOMPARE(list.Model()->RowAt(0).text[CFileListModel::kTime], QString("1970-01-02 00:00:00"));
}

void TestFileList::findRowComparesExactlyAndFindsTheFirst() {
    CFileListModel model;
    model.AppendRow("A.txt", 0, 0);
    model.AppendRow("a.txt", 0, 0);
    model.AppendRow("a.txt", 0, 0);
    QCOMPARE(model.FindRow("a.txt"), 1);
    QCOMPARE(model.FindRow("A.txt"), 0);
    QCOMPARE(model.FindRow("a.TXT"), -1);
    model.RemoveRow(1);
    QCOMPARE(model.FindRow("a.txt"), 1);
    const QString longA = QString(259, 'x') + "1";
    const QString longB = QString(259, 'x') + "2";
    model.AppendRow(longA, 0, 0);
    QCOMPARE(model.FindRow(longB), 2);  // only 259 characters count
}

void TestFileList::addOrUpdateWithSelectSelectsAndFocuses() {
    CIconCache icons;
    CFileListView list(&icons);
    IDeviceBackend::Entry e;
    e.name = "one";
    list.AddOrUpdateDeviceRow(e, false);
    e.name = "two";
    list.AddOrUpdateDeviceRow(e, true);
    QCOMPARE(list.SelectedRows(), QList<int>({1}));
    QCOMPARE(list.ActiveView()->currentIndex().row(), 1);
    list.DeselectAll();
    QVERIFY(list.SelectedRows().isEmpty());
}

QTEST_MAIN(TestFileList)
#include "tst_file_list.moc"
