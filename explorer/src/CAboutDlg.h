#pragma once
// The program's icon, name, version and build date.
#include <QDialog>

class CVelkorApp;

class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    CAboutDlg(CVelkorApp* app, QWidget* parent);
};
