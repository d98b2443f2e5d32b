#pragma once
// The settings dialog: editable port and rate boxes, the device each port opens, AutoLink and
// Compress. OK writes all four values and the changed devices; a changed port or rate closes
// the connection (CTallowApp::ApplySettings).
#include "CSetupForm.h"

class CTallowApp;

class CSetupDlg : public CSetupForm {
    Q_OBJECT
  public:
    CSetupDlg(CTallowApp* app, QWidget* parent);

    static QStringList PortEntries();
    // "460800 " keeps the blank it always had; only the leading number counts.
    static QStringList RateEntries();
    // The decimal number at the start of text (after blanks), 0 when there is none.
    static int LeadingNumber(const QString& text);

  protected:
    void ShowMapError(const QString& error) override;
    void Store() override;

  private:
    static Texts SetupTexts();

    CTallowApp* m_app;
};
