#pragma once
// The settings dialog: editable port and rate boxes, the device each port opens, AutoLink and
// Compress. OK writes all four values and the changed devices; a changed port or rate closes
// the connection (CTallowApp::ApplySettings).
#include <QDialog>

class QCheckBox;
class QComboBox;
class CTallowApp;
class CPortDevicePicker;

class CSetupDlg : public QDialog {
    Q_OBJECT
  public:
    CSetupDlg(CTallowApp* app, QWidget* parent);

    QComboBox* PortBox() const { return m_port; }
    CPortDevicePicker* DeviceBox() const { return m_device; }
    QComboBox* RateBox() const { return m_rate; }
    QCheckBox* AutoLinkBox() const { return m_autoLink; }
    QCheckBox* CompressBox() const { return m_compress; }

    static QStringList PortEntries();
    // "460800 " keeps the blank it always had; only the leading number counts.
    static QStringList RateEntries();
    // The decimal number at the start of text (after blanks), 0 when there is none.
    static int LeadingNumber(const QString& text);

    void accept() override;

  private:
    CTallowApp* m_app;
    QComboBox* m_port;
    CPortDevicePicker* m_device;
    QComboBox* m_rate;
    QCheckBox* m_autoLink;
    QCheckBox* m_compress;
};
