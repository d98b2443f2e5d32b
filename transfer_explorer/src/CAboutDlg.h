#pragma once
// The About box: icon, product name with version and build date, OK.
#include <QDialog>

class CTallowApp;

class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    CAboutDlg(CTallowApp* app, QWidget* parent);
};
