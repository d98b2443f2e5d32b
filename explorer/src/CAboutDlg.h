#pragma once
// The program's icon, name, version and build date.
#include "CAboutBox.h"

class CVelkorApp;

class CAboutDlg : public CAboutBox {
    Q_OBJECT
  public:
    CAboutDlg(CVelkorApp* app, QWidget* parent);
};
