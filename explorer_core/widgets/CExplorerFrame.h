#pragma once
// The one main window of both explorers: a splitter with the folder tree and the file list,
// the menus, toolbar and status bar, and the commands on files (Copy, Paste, Delete, Up,
// Refresh, the view modes), drag and drop, each with one update function per rule. It is the
// only object that talks to both views. Each program hands in its texts, its rules and the
// steps that are its own through IExplorerProgram.
#include <QMainWindow>
#include <QStringList>

#include "CFileCommands.h"
#include "CFileJobDialog.h"
#include "CFolderListing.h"
#include "CFolderTree.h"
#include "CJobViews.h"
#include "CPaneSelection.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QMimeData;
class QSplitter;
class QToolBar;
class QTreeWidgetItem;
class CFileListView;
class CFolderTree;
class IExplorerProgram;

class CExplorerFrame : public QMainWindow {
    Q_OBJECT
  public:
    using Pane = CPaneSelection::Pane;

    struct Texts {
        QString fileMenu, editMenu, viewMenu, helpMenu;
        // Prompts are "status text\ntool tip"; an empty one leaves the action without.
        QString setup, setupPrompt, connect, connectPrompt, exit;
        QString copy, copyTip, paste, pastePrompt, del, deletePrompt;
        QString up, upPrompt, refresh, refreshPrompt;
        QString modes[4];
        QString toolBar, toolBarToggle, statusBarToggle;
        QString about;
        QString ready;  // the status bar's idle text
        // Added to the title, and the device item's tip, while the link is down.
        QString linkDown;
        CFolderTree::Labels tree;
        CFolderListing::Texts listing;
        CFileJobDialog::Texts job;
    };
    struct Rules {
        int toolBarIconSize = 16;
        bool toolBarMovable = false;
        // At start the root is selected and listed; else nothing is until the user chooses.
        bool selectRootAtStart = true;
        // Shift+Insert pastes only while the file list has the focus; else everywhere.
        bool pasteInsertInListOnly = false;
        bool refreshCtrlR = false;
        // Ctrl+N and Ctrl+O build the tree again (a new document's initial update).
        bool newOpenRebuildTree = false;
        // A delete can be cancelled halfway.
        bool deleteCancellable = true;
    };

    // tree and list are the program's views; the frame takes them into its splitter.
    CExplorerFrame(IExplorerProgram& program, CFolderTree* tree, CFileListView* list,
                   const Texts& texts, const Rules& rules);
    ~CExplorerFrame() override;

    CFolderTree* Tree() const { return m_tree; }
    CFileListView* List() const { return m_list; }
    QAction* SetupAction() const { return m_setup; }
    QAction* ConnectAction() const { return m_connect; }
    QAction* AboutAction() const { return m_about; }
    QAction* CopyAction() const { return m_copy; }
    QAction* PasteAction() const { return m_paste; }
    QAction* DeleteAction() const { return m_delete; }
    QAction* CutAction() const { return m_cut; }
    QAction* UpAction() const { return m_up; }
    QAction* RefreshAction() const { return m_refresh; }
    QAction* ModeAction(int mode) const;
    QToolBar* ToolBar() const { return m_toolBar; }
    QLabel* ReadyLabel() const { return m_ready; }

    // The pane the commands act on: the one that last had the keyboard focus.
    Pane ActivePane() const { return m_activePane; }
    void SetActivePane(Pane pane);

    void OnSetup();
    void OnConnect();
    void OnAbout();
    void OnCopy();
    void OnPaste();
    void OnDelete();
    void OnUp();
    void OnRefresh();
    void OnViewMode(int mode);
    // A row of the list opened: into the tree item it stands for, or the desktop's default
    // action for a PC file. A row whose tree item is gone does nothing.
    void OnRowActivated(int row);
    // Files dropped on a folder (null: the current one): a paste of them into it.
    void DropFiles(const QStringList& sources, QTreeWidgetItem* folder);
    // The tree from scratch; the device item only while connected. Nothing is selected.
    void RebuildTree();
    // The link went down or came back (the backend noticed): the title and the device item
    // say so. Nothing else changes; the next listing reconnects.
    void ShowLink(bool up);

    // The enable rules, one per rule; UpdateCommands runs them all.
    bool CopyRule() const;
    bool PasteRule() const;
    void UpdateCommands();

    // The file list's context menu: Copy, Paste, Delete, grayed by their rules.
    void ShowListMenu(const QPoint& globalPos);

  protected:
    // Keeps the window's size, position and splitter for the next start.
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void ConnectViews();
    void OnFocusChanged(QWidget* old, QWidget* now);
    void ShowFolder(QTreeWidgetItem* item);
    QMimeData* DragPayload(const QStringList& paths) const;
    CFileCommands::Frame FileCommands();

    IExplorerProgram& m_program;
    const Texts m_texts;
    const Rules m_rules;
    QSplitter* m_splitter;
    CFolderTree* m_tree;
    CFileListView* m_list;
    CJobViews m_jobViews;
    Pane m_activePane = Pane::Tree;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_ready = nullptr;
    QMenu* m_viewMenu = nullptr;
    QAction* m_setup = nullptr;
    QAction* m_connect = nullptr;
    QAction* m_exit = nullptr;
    QAction* m_about = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_paste = nullptr;
    QAction* m_listPaste = nullptr;
    QAction* m_delete = nullptr;
    QAction* m_cut = nullptr;
    QAction* m_up = nullptr;
    QAction* m_refresh = nullptr;
    QAction* m_modes[4] = {};
    QActionGroup* m_modeGroup = nullptr;
};
