#pragma once
// The main window: a splitter with the folder tree and the file list, the menus, and the
// window title that shows the connection state.
#include <QMainWindow>

class QAction;
class QSplitter;
class CVelkorApp;
class CLeftView;
class CVelkorView;

class CMainFrame : public QMainWindow {
    Q_OBJECT
  public:
    explicit CMainFrame(CVelkorApp* app);

    CLeftView* LeftView() const { return m_left; }
    CVelkorView* ListView() const { return m_list; }
    QAction* SetupAction() const { return m_setup; }
    QAction* ConnectAction() const { return m_connect; }
    QAction* AboutAction() const { return m_about; }

    void OnSetup();
    void OnConnect();
    void OnAbout();

  private:
    void CreateMenus();

    CVelkorApp* m_app;
    QSplitter* m_splitter;
    CLeftView* m_left;
    CVelkorView* m_list;
    QAction* m_setup = nullptr;
    QAction* m_connect = nullptr;
    QAction* m_exit = nullptr;
    QAction* m_about = nullptr;
};
