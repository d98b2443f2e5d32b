#pragma once
// The main window: a splitter with the folder tree and the file list, the menus, toolbar and
// status bar, and the commands on files: Copy, Paste, Delete, Up, Refresh and the view modes.
// Paste and Delete run as jobs of the file-operation dialog.
#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "CFileCommands.h"
#include "CJobViews.h"
#include "CPaneSelection.h"

class QAction;
class QActionGroup;
class QSplitter;
class QToolBar;
class CVelkorApp;
class CLeftView;
class CVelkorView;

class CMainFrame : public QMainWindow {
    Q_OBJECT
  public:
    using Pane = CPaneSelection::Pane;

    explicit CMainFrame(CVelkorApp* app);
    ~CMainFrame() override;

    CLeftView* LeftView() const { return m_left; }
    CVelkorView* ListView() const { return m_list; }
    QAction* SetupAction() const { return m_setup; }
    QAction* ConnectAction() const { return m_connect; }
    QAction* AboutAction() const { return m_about; }
    QAction* CopyAction() const { return m_copy; }
    QAction* PasteAction() const { return m_paste; }
    QAction* DeleteAction() const { return m_delete; }
    QAction* CutAction() const { return m_cut; }
    QAction* UpAction() const { return m_up; }
    QAction* RefreshAction() const { return m_refresh; }
    QAction* ModeAction(int mode) const { return m_modes[mode]; }
    QToolBar* ToolBar() const { return m_toolBar; }
    QMenu* EditMenu() const { return m_editMenu; }

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

    // The enable rules, one per rule; UpdateCommands runs them all.
    bool CopyRule() const;
    bool PasteRule() const;
    void UpdateCommands();

  protected:
    // Keeps the window's size, position and splitter for the next start.
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateMenus();
    void CreateToolBar();
    void ShowListMenu(const QPoint& globalPos);
    void OnFocusChanged(QWidget* old, QWidget* now);
    int Message(const QString& text, int buttons, int icon, const QString& caption = {});
    CFileCommands::Frame FileCommands();

    CVelkorApp* m_app;
    QSplitter* m_splitter;
    CLeftView* m_left;
    CVelkorView* m_list;
    CJobViews m_jobViews;
    Pane m_activePane = Pane::Tree;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_editMenu = nullptr;
    QAction* m_setup = nullptr;
    QAction* m_connect = nullptr;
    QAction* m_exit = nullptr;
    QAction* m_about = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_paste = nullptr;
    QAction* m_pasteInsert = nullptr;
    QAction* m_delete = nullptr;
    QAction* m_cut = nullptr;
    QAction* m_up = nullptr;
    QAction* m_refresh = nullptr;
    QAction* m_toolBarToggle = nullptr;
    QAction* m_statusToggle = nullptr;
    QAction* m_modes[4] = {};
    QActionGroup* m_modeGroup = nullptr;
};
