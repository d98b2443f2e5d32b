#include "CMainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QMenuBar>
#include <QMessageBox>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeView>

#include "CAboutDlg.h"
#include "CClipboardFiles.h"
#include "CFileOpDlg.h"
#include "CLeftView.h"
#include "CSetupDlg.h"
#include "CVelkorApp.h"
#include "CVelkorView.h"
#include "CWindowState.h"

namespace {
// The folder tree's share of a window that opens for the first time.
constexpr int kTreeWidth = 220;

// "prompt\ntip": the prompt goes to the status bar, the tip to the tool tip.
void SetPrompt(QAction* action, const QString& prompt) {
    const qsizetype nl = prompt.indexOf(QLatin1Char('\n'));
    action->setStatusTip(nl < 0 ? prompt : prompt.left(nl));
    if (nl >= 0) action->setToolTip(prompt.mid(nl + 1));
}

QIcon ThemeIcon(const char* name, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(QLatin1String(name), QApplication::style()->standardIcon(fallback));
}
}  // namespace

CMainFrame::CMainFrame(CVelkorApp* app)
    : m_app(app),
      m_splitter(new QSplitter(Qt::Horizontal, this)),
      m_left(new CLeftView(app, m_splitter)),
      m_list(new CVelkorView(app, m_splitter)),
      m_jobViews(*m_left, *m_list) {
    m_left->SetListView(m_list);
    m_list->SetTreeView(m_left);
    m_splitter->addWidget(m_left);
    m_splitter->addWidget(m_list);
    m_splitter->setChildrenCollapsible(false);
    setCentralWidget(m_splitter);
    CreateMenus();
    CreateToolBar();
    CPaneSelection::AddPaneKeys(this, m_left, m_list);
    // The idle text comes back whenever a prompt is taken away.
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& text) {
        if (text.isEmpty()) statusBar()->showMessage(tr("Ready"));
    });
    statusBar()->showMessage(tr("Ready"));
    setWindowTitle(app->TitleText());
    setWindowIcon(app->Icons().Icon(CIconCache::kDevices));

    connect(qApp, &QApplication::focusChanged, this, &CMainFrame::OnFocusChanged);
    connect(m_left, &CFolderTree::folderSelected, this, [this] { UpdateCommands(); });
    connect(m_list->DetailsView()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { UpdateCommands(); });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { UpdateCommands(); });
    connect(m_list, &CFileListView::contextMenuRequestedAt, this, &CMainFrame::ShowListMenu);

    m_left->BuildTree();
    m_left->SelectFolder(m_left->RootItem());
    UpdateCommands();
    CWindowState::Restore(this, m_splitter, kTreeWidth, m_list->DetailsWidth(), m_app->Settings());
}

CMainFrame::~CMainFrame() {
    // Focus and clipboard changes still arrive while the widgets below are torn down, when
    // this object is no longer a CMainFrame.
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(QGuiApplication::clipboard(), nullptr, this, nullptr);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    CWindowState::Save(this, m_splitter, m_app->Settings());
    QMainWindow::closeEvent(event);
}

void CMainFrame::CreateMenus() {
    QMenu* file = menuBar()->addMenu(tr("File(&F)"));
    m_setup = file->addAction(tr("Setup(&S)"), this, &CMainFrame::OnSetup);
    // The Chinese edition has no prompts for these two.
    if (!m_app->IsChinese()) SetPrompt(m_setup, tr("Setup COM port, baud rate..."));
    m_connect = file->addAction(tr("Connect(&C)"), this, &CMainFrame::OnConnect);
    if (!m_app->IsChinese()) SetPrompt(m_connect, tr("Detect and connect with device"));
    file->addSeparator();
    m_exit = file->addAction(tr("Exit(&X)"), this, &QWidget::close);

    m_editMenu = menuBar()->addMenu(tr("Edit(&E)"));
    m_copy = m_editMenu->addAction(ThemeIcon("edit-copy", QStyle::SP_FileIcon),
                                   tr("Copy(&C)\tCtrl+C"), this, &CMainFrame::OnCopy);
    m_copy->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    m_copy->setToolTip(tr("Copy"));
    m_paste = m_editMenu->addAction(ThemeIcon("edit-paste", QStyle::SP_DialogOpenButton),
                                    tr("Paste(&P)\tCtrl+V"), this, &CMainFrame::OnPaste);
    m_paste->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    SetPrompt(m_paste, tr("Inserts the items you have copied into the selected location\nPase"));
    m_delete = m_editMenu->addAction(ThemeIcon("edit-delete", QStyle::SP_TrashIcon),
                                     tr("Delete(&D)"), this, &CMainFrame::OnDelete);
    SetPrompt(m_delete, tr("Deletes selected items\nDelete"));
    for (QAction* a : {m_copy, m_paste}) a->setShortcutVisibleInContextMenu(false);

    // Cut has keys but no menu item, and does nothing: this explorer never moves files.
    m_cut = new QAction(this);
    m_cut->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    addAction(m_cut);

    QMenu* view = menuBar()->addMenu(tr("View(&V)"));
    m_toolBarToggle = view->addAction(tr("Toolbar(&T)"));
    m_toolBarToggle->setCheckable(true);
    m_toolBarToggle->setChecked(true);
    m_statusToggle = view->addAction(tr("Status(&S)"));
    m_statusToggle->setCheckable(true);
    m_statusToggle->setChecked(true);
    connect(m_statusToggle, &QAction::toggled, this,
            [this](bool on) { statusBar()->setVisible(on); });
    view->addSeparator();
    m_modeGroup = new QActionGroup(this);
    m_modeGroup->setExclusive(true);
    const QString modeTexts[4] = {tr("Large Icons(&G)"), tr("Small Icons(&M)"), tr("List(&L)"),
                                  tr("Details(&D)")};
    const QStyle::StandardPixmap modeIcons[4] = {
        QStyle::SP_FileDialogContentsView, QStyle::SP_FileDialogInfoView,
        QStyle::SP_FileDialogListView, QStyle::SP_FileDialogDetailedView};
    for (int m = 0; m < 4; ++m) {
        m_modes[m] = view->addAction(QApplication::style()->standardIcon(modeIcons[m]),
                                     modeTexts[m], this, [this, m] { OnViewMode(m); });
        m_modes[m]->setCheckable(true);
        m_modeGroup->addAction(m_modes[m]);
    }
    view->addSeparator();
    m_refresh = view->addAction(ThemeIcon("view-refresh", QStyle::SP_BrowserReload),
                                tr("Refresh(&R)"), this, &CMainFrame::OnRefresh);
    m_refresh->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    SetPrompt(m_refresh, tr("Refreshes the contents of the current page\nRefresh"));

    QMenu* help = menuBar()->addMenu(tr("Help(&H)"));
    m_about = help->addAction(QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation),
                              tr("About Quaysides(&A)..."), this, &CMainFrame::OnAbout);

    m_up = new QAction(ThemeIcon("go-up", QStyle::SP_FileDialogToParent), tr("Up"), this);
    SetPrompt(m_up, tr("Go to upper folder\nUp"));
    connect(m_up, &QAction::triggered, this, &CMainFrame::OnUp);
}

void CMainFrame::CreateToolBar() {
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("toolbar"));
    m_toolBar->setIconSize(QSize(32, 32));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolBar->addAction(m_up);
    m_toolBar->addSeparator();
    m_toolBar->addActions({m_copy, m_paste, m_delete});
    m_toolBar->addSeparator();
    for (QAction* a : m_modes) m_toolBar->addAction(a);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_refresh);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_about);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    connect(m_toolBarToggle, &QAction::toggled, m_toolBar, &QWidget::setVisible);
    connect(m_toolBar, &QToolBar::visibilityChanged, m_toolBarToggle, &QAction::setChecked);
}

void CMainFrame::SetActivePane(Pane pane) {
    m_activePane = pane;
    UpdateCommands();
}

void CMainFrame::OnFocusChanged(QWidget*, QWidget* now) {
    if (const auto pane = CPaneSelection::PaneOf(now, *m_left, *m_list)) SetActivePane(*pane);
}

bool CMainFrame::CopyRule() const {
    return CPaneSelection::CopyRule(*m_left, *m_list, m_activePane);
}

bool CMainFrame::PasteRule() const {
    return CClipboardFiles::HasFiles(QGuiApplication::clipboard()->mimeData());
}

void CMainFrame::UpdateCommands() {
    const bool copy = CopyRule();
    m_copy->setEnabled(copy);
    m_delete->setEnabled(copy);
    m_cut->setEnabled(copy);
    m_paste->setEnabled(PasteRule());
    const int mode = static_cast<int>(m_list->CurrentMode());
    for (int m = 0; m < 4; ++m) m_modes[m]->setChecked(m == mode);
}

int CMainFrame::Message(const QString& text, int buttons, int icon, const QString& caption) {
    QMessageBox box(static_cast<QMessageBox::Icon>(icon),
                    caption.isEmpty() ? QStringLiteral("Quayside") : caption, text,
                    static_cast<QMessageBox::StandardButtons>(buttons), this);
    return box.exec();
}

CFileCommands::Frame CMainFrame::FileCommands() {
    CFileCommands::Frame f(this, m_left, m_list, &m_jobViews);
    f.policy = CFileOpDlg::Policy();
    f.message = [this](const QString& text, int buttons, int icon, const QString& caption) {
        return Message(text, buttons, icon, caption);
    };
    f.makeDialog = [this] {
        auto dlg = std::make_unique<CFileOpDlg>();
        dlg->m_pBackend = &m_app->Backend();
        return std::unique_ptr<CFileJobDialog>(std::move(dlg));
    };
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

void CMainFrame::OnUp() {
    m_left->UpOneLevel();
}

void CMainFrame::OnRefresh() {
    m_left->Refresh();
}

void CMainFrame::OnViewMode(int mode) {
    m_list->SetMode(static_cast<CFileListView::Mode>(mode));
    UpdateCommands();
}

void CMainFrame::ShowListMenu(const QPoint& globalPos) {
    UpdateCommands();
    QMenu menu(this);
    menu.addActions({m_copy, m_paste, m_delete});
    menu.exec(globalPos);
}

void CMainFrame::OnSetup() {
    CSetupDlg dlg(m_app, this);
    dlg.exec();
}

void CMainFrame::OnConnect() {
    m_app->SetCompress(m_app->Settings().Compress() != 0);
    m_app->SetConnected(false);
    m_app->RunConnectDialog(this);
    setWindowTitle(m_app->TitleText());
    m_left->BuildTree();
    m_left->SelectFolder(m_left->RootItem());
}

void CMainFrame::OnAbout() {
    CAboutDlg dlg(m_app, this);
    dlg.exec();
}
