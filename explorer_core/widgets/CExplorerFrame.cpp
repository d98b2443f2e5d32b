#include "CExplorerFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>

#include "CClipboardFiles.h"
#include "CDevicePath.h"
#include "CFileListView.h"
#include "CFolderTree.h"
#include "CIconCache.h"
#include "CSettingsBase.h"
#include "CToolIcons.h"
#include "CWindowState.h"
#include "IExplorerProgram.h"

namespace {
// The folder tree's share of a window that opens for the first time.
constexpr int kTreeWidth = 220;

// "prompt\ntip": the prompt goes to the status bar, the tip to the tool tip.
void SetPrompt(QAction* action, const QString& prompt) {
    if (prompt.isEmpty()) return;
    const qsizetype nl = prompt.indexOf(QLatin1Char('\n'));
    action->setStatusTip(nl < 0 ? prompt : prompt.left(nl));
    if (nl >= 0) action->setToolTip(prompt.mid(nl + 1));
}
}  // namespace

CExplorerFrame::CExplorerFrame(IExplorerProgram& program, CFolderTree* tree, CFileListView* list,
                               const Texts& texts, const Rules& rules)
    : m_program(program),
      m_texts(texts),
      m_rules(rules),
      m_splitter(new QSplitter(Qt::Horizontal, this)),
      m_tree(tree),
      m_list(list),
      m_jobViews(*tree, *list) {
    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(m_list);
    m_splitter->setChildrenCollapsible(false);
    setCentralWidget(m_splitter);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CPaneSelection::AddPaneKeys(this, m_tree, m_list);
    // A normal widget rather than a message: a status tip hides it and it comes back after.
    m_ready = new QLabel(texts.ready, this);
    statusBar()->addWidget(m_ready, 1);
    setWindowTitle(program.TitleText());
    setWindowIcon(program.Icons().Icon(CIconCache::kDevices));
    ConnectViews();

    const int mode = program.Settings().ViewMode();
    if (mode >= 0 && mode < 4) m_list->SetMode(static_cast<CFileListView::Mode>(mode));
    RebuildTree();
    if (rules.selectRootAtStart) m_tree->SelectFolder(m_tree->RootItem());
    UpdateCommands();
    // Heard on the window thread, queued; a frame that is gone by then hears nothing.
    program.Backend().SetLinkObserver([frame = QPointer<CExplorerFrame>(this)](bool up) {
        if (frame) frame->ShowLink(up);
    });
    CWindowState::Restore(this, m_splitter, kTreeWidth, m_list->DetailsWidth(), program.Settings());
}

CExplorerFrame::~CExplorerFrame() {
    // The panes and the focus change while the base classes tear the window down; by then this
    // is no frame any more and must hear nothing.
    qApp->disconnect(this);
    QGuiApplication::clipboard()->disconnect(this);
    m_tree->disconnect(this);
    m_list->disconnect(this);
}

void CExplorerFrame::ConnectViews() {
    connect(qApp, &QApplication::focusChanged, this, &CExplorerFrame::OnFocusChanged);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &CExplorerFrame::UpdateCommands);
    connect(m_tree, &CFolderTree::folderSelected, this, &CExplorerFrame::ShowFolder);
    connect(m_list, &CFileListView::contentsChanged, this, &CExplorerFrame::UpdateCommands);
    connect(m_list, &CFileListView::contextMenuRequestedAt, this, &CExplorerFrame::ShowListMenu);
    connect(m_list, &CFileListView::rowActivated, this, &CExplorerFrame::OnRowActivated);

    // Drags carry the selection as a file list, the way Copy puts it on the clipboard.
    connect(m_list, &CFileListView::dragRequested, this, [this](QMimeData** payload) {
        *payload = DragPayload(CPaneSelection::Paths(*m_tree, *m_list, Pane::List));
    });
    connect(m_tree, &CFolderTree::dragRequested, this,
            [this](const QString& path, QMimeData** payload) { *payload = DragPayload({path}); });
    connect(m_list, &CFileListView::filesDropped, this, [this](const QMimeData* payload, int row) {
        QTreeWidgetItem* folder = nullptr;
        if (row >= 0 && row < m_list->Model()->Count())
            folder = m_tree->ItemOfId(m_list->Model()->RowAt(row).itemData);
        DropFiles(CClipboardFiles::Read(payload), folder);
    });
    connect(m_tree, &CFolderTree::filesDropped, this,
            [this](const QMimeData* payload, QTreeWidgetItem* item) {
                DropFiles(CClipboardFiles::Read(payload), item);
            });
}

void CExplorerFrame::closeEvent(QCloseEvent* event) {
    CWindowState::Save(this, m_splitter, m_program.Settings());
    QMainWindow::closeEvent(event);
}

void CExplorerFrame::CreateActions() {
    const Texts& t = m_texts;
    m_setup = new QAction(t.setup, this);
    SetPrompt(m_setup, t.setupPrompt);
    connect(m_setup, &QAction::triggered, this, &CExplorerFrame::OnSetup);
    m_connect = new QAction(t.connect, this);
    SetPrompt(m_connect, t.connectPrompt);
    connect(m_connect, &QAction::triggered, this, &CExplorerFrame::OnConnect);
    m_exit = new QAction(t.exit, this);
    connect(m_exit, &QAction::triggered, this, &QWidget::close);

    m_copy = new QAction(CToolIcons::Icon(CToolIcons::Kind::Copy), t.copy, this);
    m_copy->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    m_copy->setToolTip(t.copyTip);
    connect(m_copy, &QAction::triggered, this, &CExplorerFrame::OnCopy);
    m_paste = new QAction(CToolIcons::Icon(CToolIcons::Kind::Paste), t.paste, this);
    m_paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    SetPrompt(m_paste, t.pastePrompt);
    connect(m_paste, &QAction::triggered, this, &CExplorerFrame::OnPaste);
    m_listPaste = new QAction(this);
    m_listPaste->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    if (m_rules.pasteInsertInListOnly) {
        m_listPaste->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_list->addAction(m_listPaste);
    } else {
        addAction(m_listPaste);
    }
    connect(m_listPaste, &QAction::triggered, this, &CExplorerFrame::OnPaste);
    m_delete = new QAction(CToolIcons::Icon(CToolIcons::Kind::Delete), t.del, this);
    m_delete->setShortcut(QKeySequence(Qt::Key_Delete));
    SetPrompt(m_delete, t.deletePrompt);
    connect(m_delete, &QAction::triggered, this, &CExplorerFrame::OnDelete);
    for (QAction* a : {m_copy, m_paste, m_delete}) a->setShortcutVisibleInContextMenu(false);

    // Cut has keys but no menu item, and does nothing: the explorers never move files.
    m_cut = new QAction(this);
    m_cut->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    addAction(m_cut);
    if (m_rules.newOpenRebuildTree) {
        for (const int key : {Qt::Key_N, Qt::Key_O}) {
            auto* rebuild = new QAction(this);
            rebuild->setShortcut(QKeySequence(Qt::CTRL | key));
            connect(rebuild, &QAction::triggered, this, &CExplorerFrame::RebuildTree);
            addAction(rebuild);
        }
    }

    m_up = new QAction(CToolIcons::Icon(CToolIcons::Kind::Up), t.up, this);
    m_up->setShortcuts({QKeySequence(Qt::Key_Backspace), QKeySequence(Qt::ALT | Qt::Key_Up)});
    SetPrompt(m_up, t.upPrompt);
    connect(m_up, &QAction::triggered, this, &CExplorerFrame::OnUp);
    addAction(m_up);
    m_refresh = new QAction(CToolIcons::Icon(CToolIcons::Kind::Refresh), t.refresh, this);
    QList<QKeySequence> refreshKeys{QKeySequence(Qt::Key_F5)};
    if (m_rules.refreshCtrlR) refreshKeys << QKeySequence(Qt::CTRL | Qt::Key_R);
    m_refresh->setShortcuts(refreshKeys);
    SetPrompt(m_refresh, t.refreshPrompt);
    connect(m_refresh, &QAction::triggered, this, &CExplorerFrame::OnRefresh);

    m_modeGroup = new QActionGroup(this);
    m_modeGroup->setExclusive(true);
    const CToolIcons::Kind modeIcons[4] = {CToolIcons::Kind::LargeIcons,
                                           CToolIcons::Kind::SmallIcons, CToolIcons::Kind::List,
                                           CToolIcons::Kind::Details};
    for (int m = 0; m < 4; ++m) {
        m_modes[m] = new QAction(CToolIcons::Icon(modeIcons[m]), t.modes[m], m_modeGroup);
        m_modes[m]->setCheckable(true);
        connect(m_modes[m], &QAction::triggered, this, [this, m] { OnViewMode(m); });
    }
    m_about = new QAction(CToolIcons::Icon(CToolIcons::Kind::About), t.about, this);
    connect(m_about, &QAction::triggered, this, &CExplorerFrame::OnAbout);
}

QAction* CExplorerFrame::ModeAction(int mode) const {
    return mode >= 0 && mode < 4 ? m_modes[mode] : nullptr;
}

void CExplorerFrame::CreateMenus() {
    QMenu* file = menuBar()->addMenu(m_texts.fileMenu);
    file->addAction(m_setup);
    file->addAction(m_connect);
    file->addSeparator();
    file->addAction(m_exit);
    QMenu* edit = menuBar()->addMenu(m_texts.editMenu);
    edit->addActions({m_copy, m_paste, m_delete});
    m_viewMenu = menuBar()->addMenu(m_texts.viewMenu);
    QMenu* help = menuBar()->addMenu(m_texts.helpMenu);
    help->addAction(m_about);
    for (QMenu* m : {file, edit, m_viewMenu, help})
        connect(m, &QMenu::aboutToShow, this, &CExplorerFrame::UpdateCommands);
}

void CExplorerFrame::CreateToolBar() {
    m_toolBar = addToolBar(m_texts.toolBar);
    m_toolBar->setObjectName(QStringLiteral("toolbar"));
    m_toolBar->setMovable(m_rules.toolBarMovable);
    m_toolBar->setIconSize(QSize(m_rules.toolBarIconSize, m_rules.toolBarIconSize));
    m_toolBar->addAction(m_up);
    m_toolBar->addSeparator();
    m_toolBar->addActions({m_copy, m_paste, m_delete});
    m_toolBar->addSeparator();
    for (QAction* mode : m_modes) m_toolBar->addAction(mode);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_refresh);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_about);

    QAction* showBar = m_toolBar->toggleViewAction();
    showBar->setText(m_texts.toolBarToggle);
    auto* showStatus = new QAction(m_texts.statusBarToggle, this);
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

void CExplorerFrame::SetActivePane(Pane pane) {
    m_activePane = pane;
    UpdateCommands();
}

void CExplorerFrame::OnFocusChanged(QWidget*, QWidget* now) {
    if (const auto pane = CPaneSelection::PaneOf(now, *m_tree, *m_list)) SetActivePane(*pane);
}

bool CExplorerFrame::CopyRule() const {
    return CPaneSelection::CopyRule(*m_tree, *m_list, m_activePane);
}

bool CExplorerFrame::PasteRule() const {
    // A list of terminal paths has no URLs; our own form alone makes a file list.
    return CClipboardFiles::HasFiles(QGuiApplication::clipboard()->mimeData());
}

void CExplorerFrame::UpdateCommands() {
    const bool copy = CopyRule();
    m_copy->setEnabled(copy);
    m_delete->setEnabled(copy);
    m_cut->setEnabled(copy);
    const bool paste = PasteRule();
    m_paste->setEnabled(paste);
    m_listPaste->setEnabled(paste);
    const int mode = static_cast<int>(m_list->CurrentMode());
    if (!m_modes[mode]->isChecked()) m_modes[mode]->setChecked(true);
}

void CExplorerFrame::ShowListMenu(const QPoint& globalPos) {
    UpdateCommands();
    QMenu menu(this);
    menu.addActions({m_copy, m_paste, m_delete});
    menu.exec(globalPos);
}

void CExplorerFrame::ShowFolder(QTreeWidgetItem* item) {
    CFolderListing::Hooks hooks;
    hooks.storeInfo = [this](uint64_t* total, uint64_t* free) { m_program.StoreInfo(total, free); };
    hooks.listDevice = [this] { m_program.ListDeviceFolder(m_list, this); };
    CFolderListing::Show(*m_tree, *m_list, item, m_texts.listing, hooks);
    UpdateCommands();
}

void CExplorerFrame::RebuildTree() {
    // Rows point at tree items by id; none may outlive the items.
    m_list->Clear();
    m_tree->Build(m_texts.tree, m_program.Connected());
    // The root is the current folder but no item is selected, so that choosing any item, the
    // root included, fills the list.
    m_tree->setCurrentItem(nullptr);
    UpdateCommands();
}

void CExplorerFrame::ShowLink(bool up) {
    const QString title = m_program.TitleText();
    setWindowTitle(up || !m_program.Connected() ? title : title + m_texts.linkDown);
    QTreeWidgetItem* devices = m_tree->DevicesItem();
    for (int i = 0; devices && i < devices->childCount(); ++i) {
        QTreeWidgetItem* device = devices->child(i);
        // The title's words without the dash that joins them to it.
        device->setToolTip(
            0, up ? QString() : m_texts.linkDown.section(QLatin1Char('-'), 1).trimmed());
        device->setForeground(0, up ? m_tree->palette().text()
                                    : m_tree->palette().brush(QPalette::Disabled, QPalette::Text));
    }
}

void CExplorerFrame::OnRowActivated(int row) {
    if (row < 0 || row >= m_list->Model()->Count()) return;
    if (const quintptr id = m_list->Model()->RowAt(row).itemData) {
        if (QTreeWidgetItem* item = m_tree->ItemOfId(id)) m_tree->SelectFolder(item);
        return;
    }
    const QString path = m_tree->CurrentPath();
    // The desktop cannot open a file that lives on the terminal.
    if (path.isEmpty() || CDevicePath::IsDevicePath(path)) return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(
        CDevicePath::JoinPc(path, m_list->Model()->RowAt(row).text[CFileListModel::kName])));
}

QMimeData* CExplorerFrame::DragPayload(const QStringList& paths) const {
    return paths.isEmpty() ? nullptr : CClipboardFiles::Make(paths);
}

void CExplorerFrame::DropFiles(const QStringList& sources, QTreeWidgetItem* folder) {
    if (sources.isEmpty()) return;
    // After the drop has ended: the paste's dialog and questions are modal, and a drag from
    // this program must be over before they run.
    const quintptr id = CFolderTree::IdOf(folder);
    QTimer::singleShot(0, this, [this, sources, id] {
        if (id != 0) {
            QTreeWidgetItem* item = m_tree->ItemOfId(id);
            if (!item) return;
            if (item != m_tree->CurrentFolderItem()) m_tree->SelectFolder(item);
        }
        CFileCommands::PasteSources(FileCommands(), sources);
        UpdateCommands();
    });
}

CFileCommands::Frame CExplorerFrame::FileCommands() {
    CFileCommands::Frame f(this, m_tree, m_list, &m_jobViews);
    f.policy = m_program.JobPolicy();
    f.message = [this](const QString& text, int buttons, int icon, const QString& caption) {
        return m_program.Message(this, text, buttons, icon, caption);
    };
    f.backend = &m_program.Backend();
    f.jobTexts = m_texts.job;
    f.deleteCancellable = m_rules.deleteCancellable;
    return f;
}

void CExplorerFrame::OnCopy() {
    CFileCommands::Copy(FileCommands(), m_activePane);
    UpdateCommands();
}

void CExplorerFrame::OnPaste() {
    CFileCommands::Paste(FileCommands());
    UpdateCommands();
}

void CExplorerFrame::OnDelete() {
    CFileCommands::Delete(FileCommands(), m_activePane);
    UpdateCommands();
}

void CExplorerFrame::OnUp() {
    m_tree->UpOneLevel();
}

void CExplorerFrame::OnRefresh() {
    m_tree->Refresh();
}

void CExplorerFrame::OnViewMode(int mode) {
    m_list->SetMode(static_cast<CFileListView::Mode>(mode));
    m_program.Settings().SetViewMode(mode);
    UpdateCommands();
}

void CExplorerFrame::OnSetup() {
    m_program.RunSetup(this);
}

void CExplorerFrame::OnConnect() {
    m_program.RunConnect(this);
    setWindowTitle(m_program.TitleText());
    RebuildTree();
    m_tree->SelectFolder(m_tree->RootItem());
}

void CExplorerFrame::OnAbout() {
    m_program.RunAbout(this);
}
