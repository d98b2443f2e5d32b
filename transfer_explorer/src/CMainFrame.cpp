#include "CMainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeView>

#include "CAboutDlg.h"
#include "CClipboardFiles.h"
#include "CDlgProcess.h"
#include "CLeftView.h"
#include "CSetupDlg.h"
#include "CTallowApp.h"
#include "CTallowView.h"
#include "CWindowState.h"

namespace {
// The folder tree's share of a window that opens for the first time.
constexpr int kTreeWidth = 200;

// A string-table prompt "status text\ntool tip" split over the action.
void SetPrompt(QAction* action, const QString& prompt) {
    const qsizetype newline = prompt.indexOf(QLatin1Char('\n'));
    action->setStatusTip(prompt.left(newline));
    action->setToolTip(prompt.mid(newline + 1));
}
}  // namespace

CMainFrame::CMainFrame(CTallowApp* app)
    : m_app(app),
      m_splitter(new QSplitter(Qt::Horizontal, this)),
      m_left(new CLeftView(app, m_splitter)),
      m_list(new CTallowView(app, m_splitter)),
      m_jobViews(*m_left, *m_list) {
    m_left->SetListView(m_list);
    m_list->SetTreeView(m_left);
    m_splitter->addWidget(m_left);
    m_splitter->addWidget(m_list);
    m_splitter->setChildrenCollapsible(false);
    setCentralWidget(m_splitter);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CPaneSelection::AddPaneKeys(this, m_left, m_list);
    // A normal widget rather than a message: a status tip hides it and it comes back after.
    m_ready = new QLabel(tr("就绪"), this);
    statusBar()->addWidget(m_ready, 1);
    setWindowTitle(app->TitleText());
    setWindowIcon(app->Icons().Icon(CIconCache::kDevices));

    connect(qApp, &QApplication::focusChanged, this, &CMainFrame::OnFocusChanged);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &CMainFrame::UpdateCommands);
    connect(m_left, &CLeftView::folderChanged, this, &CMainFrame::UpdateCommands);
    connect(m_list, &CTallowView::contentsChanged, this, &CMainFrame::UpdateCommands);
    // Both presentations of the list share one selection model.
    connect(m_list->DetailsView()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CMainFrame::UpdateCommands);
    connect(m_list, &CFileListView::contextMenuRequestedAt, this, &CMainFrame::ShowListMenu);

    m_left->BuildTree();
    UpdateCommands();
    CWindowState::Restore(this, m_splitter, kTreeWidth, m_list->DetailsWidth(), m_app->Settings());
}

CMainFrame::~CMainFrame() {
    // The panes and the focus change while the base classes tear the window down; by then this
    // is no frame any more and must hear nothing.
    qApp->disconnect(this);
    QGuiApplication::clipboard()->disconnect(this);
    m_left->disconnect(this);
    m_list->disconnect(this);
    m_list->DetailsView()->selectionModel()->disconnect(this);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    CWindowState::Save(this, m_splitter, m_app->Settings());
    QMainWindow::closeEvent(event);
}

void CMainFrame::CreateActions() {
    QStyle* st = style();
    m_setup = new QAction(tr("设置(&S)"), this);
    connect(m_setup, &QAction::triggered, this, &CMainFrame::OnSetup);
    m_connect = new QAction(tr("连接(&L)"), this);
    connect(m_connect, &QAction::triggered, this, &CMainFrame::OnConnect);
    m_exit = new QAction(tr("关闭(&X)"), this);
    connect(m_exit, &QAction::triggered, this, &QWidget::close);

    m_copy = new QAction(st->standardIcon(QStyle::SP_FileDialogDetailedView), tr("复制(&C)"), this);
    m_copy->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    m_copy->setToolTip(tr("复制"));
    connect(m_copy, &QAction::triggered, this, &CMainFrame::OnCopy);
    m_paste = new QAction(st->standardIcon(QStyle::SP_DialogSaveButton), tr("粘贴(&P)"), this);
    m_paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    SetPrompt(m_paste, tr("将剪贴板上内容粘贴到目标目录\n粘贴"));
    connect(m_paste, &QAction::triggered, this, &CMainFrame::OnPaste);
    // Shift+Insert pastes only while the file list has the focus.
    m_listPaste = new QAction(this);
    m_listPaste->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    m_listPaste->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_list->addAction(m_listPaste);
    connect(m_listPaste, &QAction::triggered, this, &CMainFrame::OnPaste);
    m_delete = new QAction(st->standardIcon(QStyle::SP_TrashIcon), tr("删除(&D)"), this);
    SetPrompt(m_delete, tr("将选中文件删除\n删除"));
    connect(m_delete, &QAction::triggered, this, &CMainFrame::OnDelete);
    // There is no move: Cut is taken and does nothing.
    m_cut = new QAction(this);
    m_cut->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    addAction(m_cut);
    m_new = new QAction(this);
    m_new->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(m_new, &QAction::triggered, this, &CMainFrame::OnNewDocument);
    addAction(m_new);
    m_open = new QAction(this);
    m_open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(m_open, &QAction::triggered, this, &CMainFrame::OnNewDocument);
    addAction(m_open);

    m_up = new QAction(st->standardIcon(QStyle::SP_FileDialogToParent), tr("向上"), this);
    SetPrompt(m_up, tr("向上一级\n向上"));
    connect(m_up, &QAction::triggered, m_left, &CFolderTree::UpOneLevel);
    m_refresh = new QAction(st->standardIcon(QStyle::SP_BrowserReload), tr("刷新(&R)"), this);
    SetPrompt(m_refresh, tr("刷新列表\n刷新"));
    connect(m_refresh, &QAction::triggered, m_left, &CFolderTree::Refresh);

    m_modeGroup = new QActionGroup(this);
    const QString modeTexts[4] = {tr("大图标(&G)"), tr("小图标(&M)"), tr("列表(&L)"),
                                  tr("详细资料(&D)")};
    const QStyle::StandardPixmap modeIcons[4] = {
        QStyle::SP_FileDialogContentsView, QStyle::SP_FileDialogListView,
        QStyle::SP_FileDialogListView, QStyle::SP_FileDialogDetailedView};
    for (int i = 0; i < 4; ++i) {
        m_modes[i] = new QAction(st->standardIcon(modeIcons[i]), modeTexts[i], m_modeGroup);
        m_modes[i]->setCheckable(true);
        const auto mode = static_cast<CFileListView::Mode>(i);
        connect(m_modes[i], &QAction::triggered, this, [this, mode] {
            m_list->SetMode(mode);
            UpdateCommands();
        });
    }
    m_about = new QAction(st->standardIcon(QStyle::SP_MessageBoxQuestion),
                          tr("关于 Driftbox(&A)..."), this);
    connect(m_about, &QAction::triggered, this, &CMainFrame::OnAbout);
}

QAction* CMainFrame::ModeAction(int mode) const {
    return mode >= 0 && mode < 4 ? m_modes[mode] : nullptr;
}

void CMainFrame::CreateMenus() {
    QMenu* file = menuBar()->addMenu(tr("文件(&F)"));
    file->addAction(m_setup);
    file->addAction(m_connect);
    file->addSeparator();
    file->addAction(m_exit);
    QMenu* edit = menuBar()->addMenu(tr("编辑(&E)"));
    edit->addAction(m_copy);
    edit->addAction(m_paste);
    edit->addAction(m_delete);
    QMenu* view = menuBar()->addMenu(tr("查看(&V)"));
    m_viewMenu = view;
    QMenu* help = menuBar()->addMenu(tr("帮助(&H)"));
    help->addAction(m_about);
    for (QMenu* m : {file, edit, view, help})
        connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
}

void CMainFrame::CreateToolBar() {
    QToolBar* bar = addToolBar(tr("工具栏"));
    bar->setObjectName(QStringLiteral("toolbar"));
    bar->setMovable(false);
    bar->setIconSize(QSize(16, 16));
    bar->addAction(m_up);
    bar->addSeparator();
    bar->addAction(m_copy);
    bar->addAction(m_paste);
    bar->addAction(m_delete);
    bar->addSeparator();
    for (QAction* mode : m_modes) bar->addAction(mode);
    bar->addSeparator();
    bar->addAction(m_refresh);
    bar->addSeparator();
    bar->addAction(m_about);

    QAction* showBar = bar->toggleViewAction();
    showBar->setText(tr("工具栏(&T)"));
    auto* showStatus = new QAction(tr("状态栏(&S)"), this);
    showStatus->setCheckable(true);
    showStatus->setChecked(true);
    connect(showStatus, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
    m_viewMenu->addAction(showBar);
    m_viewMenu->addAction(showStatus);
    m_viewMenu->addSeparator();
    for (QAction* mode : m_modes) m_viewMenu->addAction(mode);
    m_viewMenu->addSeparator();
    m_viewMenu->addAction(m_refresh);
}

void CMainFrame::SetActivePane(Pane pane) {
    m_activePane = pane;
    UpdateCommands();
}

void CMainFrame::OnFocusChanged(QWidget*, QWidget* now) {
    if (const auto pane = CPaneSelection::PaneOf(now, *m_left, *m_list)) SetActivePane(*pane);
}

bool CMainFrame::CanCopyOrDelete() const {
    return CPaneSelection::CopyRule(*m_left, *m_list, m_activePane);
}

bool CMainFrame::ClipboardHasFileList() const {
    // A list of terminal paths has no URLs; our own form alone makes a file list.
    return CClipboardFiles::HasFiles(QGuiApplication::clipboard()->mimeData());
}

void CMainFrame::UpdateCommands() {
    const bool copyDelete = CanCopyOrDelete();
    m_copy->setEnabled(copyDelete);
    m_delete->setEnabled(copyDelete);
    const bool paste = ClipboardHasFileList();
    m_paste->setEnabled(paste);
    m_listPaste->setEnabled(paste);
    const int mode = static_cast<int>(m_list->CurrentMode());
    if (m_modes[mode] && !m_modes[mode]->isChecked()) m_modes[mode]->setChecked(true);
}

void CMainFrame::ShowListMenu(const QPoint& globalPos) {
    UpdateCommands();
    QMenu menu(this);
    menu.addAction(m_copy);
    menu.addAction(m_paste);
    menu.addAction(m_delete);
    menu.exec(globalPos);
}

void CMainFrame::OnSetup() {
    CSetupDlg dlg(m_app, this);
    dlg.exec();
}

void CMainFrame::OnConnect() {
    m_app->SetRate(m_app->Settings().Rate());
    m_app->SetPort(m_app->Settings().Port());
    m_app->SetConnected(false);
    m_app->RunLinkDialog(this);
    setWindowTitle(m_app->TitleText());
    m_left->BuildTree();
    m_left->SelectFolder(m_left->RootItem());
}

void CMainFrame::OnNewDocument() {
    m_left->BuildTree();
}

void CMainFrame::OnAbout() {
    CAboutDlg dlg(m_app, this);
    dlg.exec();
}

CFileCommands::Frame CMainFrame::FileCommands() {
    CFileCommands::Frame f(this, m_left, m_list, &m_jobViews);
    f.policy = CDlgProcess::Policy(m_app->NameLimit());
    f.message = [this](const QString& text, int buttons, int icon, const QString& caption) {
        return m_app->Message(this, text, buttons, icon, caption);
    };
    f.makeDialog = [this] { return std::make_unique<CDlgProcess>(m_app, this); };
    return f;
}

void CMainFrame::OnCopy() {
    CFileCommands::Copy(FileCommands(), m_activePane);
    UpdateCommands();
}

void CMainFrame::OnPaste() {
    CFileCommands::Paste(FileCommands());
    UpdateCommands();
}

void CMainFrame::OnDelete() {
    CFileCommands::Delete(FileCommands(), m_activePane);
    UpdateCommands();
}
