#pragma once
// The main window: a splitter with the folder tree and the file list, menus, toolbar, status
// bar, and the commands with one update function per enable rule.
#include <QMainWindow>

#include "CFileCommands.h"
#include "CJobViews.h"
#include "CPaneSelection.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QSplitter;
class QWidget;
class CTallowApp;
class CLeftView;
class CTallowView;

class CMainFrame : public QMainWindow {
    Q_OBJECT
  public:
    using Pane = CPaneSelection::Pane;

    explicit CMainFrame(CTallowApp* app);
    ~CMainFrame() override;

    CLeftView* LeftView() const { return m_left; }
    CTallowView* ListView() const { return m_list; }
    // The pane that last had the keyboard focus; copy, paste and delete work on it.
    Pane ActivePane() const { return m_activePane; }
    void SetActivePane(Pane pane);

    QAction* SetupAction() const { return m_setup; }
    QAction* ConnectAction() const { return m_connect; }
    QAction* CopyAction() const { return m_copy; }
    QAction* PasteAction() const { return m_paste; }
    QAction* DeleteAction() const { return m_delete; }
    QAction* UpAction() const { return m_up; }
    QAction* RefreshAction() const { return m_refresh; }
    QAction* AboutAction() const { return m_about; }
    QAction* ModeAction(int mode) const;
    QLabel* ReadyLabel() const { return m_ready; }

    void OnSetup();
    void OnConnect();
    void OnAbout();
    void OnCopy();
    void OnPaste();
    void OnDelete();
    // The views' initial update of a new or opened document: the tree is built again.
    void OnNewDocument();

    // Enable rules.
    bool CanCopyOrDelete() const;
    bool ClipboardHasFileList() const;
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
    void OnFocusChanged(QWidget* old, QWidget* now);
    CFileCommands::Frame FileCommands();

    CTallowApp* m_app;
    QSplitter* m_splitter;
    CLeftView* m_left;
    CTallowView* m_list;
    CJobViews m_jobViews;
    Pane m_activePane = Pane::Tree;
    QLabel* m_ready = nullptr;
    QAction* m_setup = nullptr;
    QAction* m_connect = nullptr;
    QAction* m_exit = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_paste = nullptr;
    QAction* m_listPaste = nullptr;
    QAction* m_delete = nullptr;
    QAction* m_cut = nullptr;
    QAction* m_new = nullptr;
    QAction* m_open = nullptr;
    QAction* m_up = nullptr;
    QAction* m_refresh = nullptr;
    QAction* m_modes[4] = {};
    QActionGroup* m_modeGroup = nullptr;
    QAction* m_about = nullptr;
    QMenu* m_viewMenu = nullptr;
};
