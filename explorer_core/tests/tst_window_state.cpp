// Where an explorer's main window opens: at the first start wide enough for the list's columns
// beside the tree, never larger than the screen; later where it was left, but on a screen.
#include <QHeaderView>
#include <QMainWindow>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QtTest>

#include "CFileListView.h"
#include "CIconCache.h"
#include "CSettingsBase.h"
#include "CWindowState.h"

namespace {

// The explorers' frame in small: a tree and the file list side by side.
struct Frame {
    explicit Frame(CIconCache* icons)
        : splitter(new QSplitter(&window)),
          tree(new QTreeWidget(splitter)),
          list(new CFileListView(icons, splitter)) {
        splitter->addWidget(tree);
        splitter->addWidget(list);
        window.setCentralWidget(splitter);
    }
    QMainWindow window;
    QSplitter* splitter;
    QTreeWidget* tree;
    CFileListView* list;
};

}  // namespace

class TestWindowState : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_settings.Clear(); }
    void firstStartShowsEveryListColumnBesideTheTree();
    void firstStartIsNeverLargerThanTheScreen();
    void windowLeftOffScreenComesBackOnScreen();

  private:
    CSettingsBase m_settings{"CorvaleTest", "WindowState", "Settings"};
    CIconCache m_icons;
};

void TestWindowState::firstStartShowsEveryListColumnBesideTheTree() {
    Frame f(&m_icons);
    f.list->SetMode(CFileListView::Mode::Details);
    const QHeaderView* header = f.list->DetailsView()->header();
    int columns = 0;
    for (int c = 0; c < header->count(); ++c) columns += header->sectionSize(c);
    CWindowState::Restore(&f.window, f.splitter, 200, f.list->DetailsWidth(), m_settings);
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    QCOMPARE(f.tree->width(), 200);
    // Room for every column and a vertical scroll bar beside them.
    const int scrollBar = f.list->DetailsView()->verticalScrollBar()->sizeHint().width();
    QVERIFY(f.list->DetailsView()->viewport()->width() >= columns + scrollBar);
}

void TestWindowState::firstStartIsNeverLargerThanTheScreen() {
    Frame f(&m_icons);
    const QRect screen = f.window.screen()->availableGeometry();
    CWindowState::Restore(&f.window, f.splitter, 200, screen.width() * 3, m_settings);
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    QVERIFY(f.window.width() <= screen.width());
    QVERIFY(f.window.height() <= screen.height());
}

void TestWindowState::windowLeftOffScreenComesBackOnScreen() {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    {
        // Left on a second screen to the right that is no longer there.
        Frame f(&m_icons);
        f.window.resize(400, 300);
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        const QPoint far = screen.topRight() + QPoint(2000, 1500);
        f.window.move(far);
        QTRY_COMPARE(f.window.pos(), far);
        CWindowState::Save(&f.window, f.splitter, m_settings);
    }
    Frame f(&m_icons);
    CWindowState::Restore(&f.window, f.splitter, 200, f.list->DetailsWidth(), m_settings);
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    QCOMPARE(f.window.size(), QSize(400, 300));
    QVERIFY(screen.contains(f.window.geometry()));
}

QTEST_MAIN(TestWindowState)
#include "tst_window_state.moc"
