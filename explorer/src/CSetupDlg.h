#pragma once
// Port, rate, auto-connect and compression settings, and the device each port opens. Neither
// connects nor disconnects; the values take effect at the next Connect or start.
#include "CSetupForm.h"

class CVelkorApp;

class CSetupDlg : public CSetupForm {
    Q_OBJECT
  public:
    CSetupDlg(CVelkorApp* app, QWidget* parent);

  protected:
    void ShowMapError(const QString& error) override;
    void Store() override;

  private:
    static Texts SetupTexts();

    CVelkorApp* m_app;
};
