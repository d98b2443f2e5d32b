#pragma once
// The About box: icon, product name with version and build date, OK.
#include "CAboutBox.h"

class CTallowApp;

class CAboutDlg : public CAboutBox {
    Q_OBJECT
  public:
    CAboutDlg(CTallowApp* app, QWidget* parent);
};
