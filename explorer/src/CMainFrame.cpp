#include "CMainFrame.h"

#include <QAction>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>

#include "CAboutDlg.h"
#include "CLeftView.h"
#include "CSetupDlg.h"
#include "CVelkorApp.h"
#include "CVelkorView.h"

CMainFrame::CMainFrame(CVelkorApp* app)
    : m_app(app),
      m_splitter(new QSplitter(Qt::Horizontal, this)),
      m_left(new CLeftView(app, m_splitter)),
      m_list(new CVelkorView(app, m_splitter)) {
    m_left->SetListView(m_list);
    m_list->SetTreeView(m_left);
    m_splitter->addWidget(m_left);
    m_splitter->addWidget(m_list);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setSizes({220, 560});
    setCentralWidget(m_splitter);
    CreateMenus();
    statusBar()->showMessage(tr("Ready"));
    setWindowTitle(app->TitleText());
    setWindowIcon(app->Icons().Icon(CIconCache::kDevices));
    resize(800, 520);
    m_left->BuildTree();
    m_left->SelectFolder(m_left->RootItem());
}

void CMainFrame::CreateMenus() {
    QMenu* file = menuBar()->addMenu(tr("File(&F)"));
    m_setup = file->addAction(tr("Setup(&S)"), this, &CMainFrame::OnSetup);
    m_connect = file->addAction(tr("Connect(&C)"), this, &CMainFrame::OnConnect);
    file->addSeparator();
    m_exit = file->addAction(tr("Exit(&X)"), this, &QWidget::close);
    QMenu* help = menuBar()->addMenu(tr("Help(&H)"));
    m_about = help->addAction(tr("About Quaysides(&A)..."), this, &CMainFrame::OnAbout);
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
