#pragma once
// Port, rate, auto-connect and compression settings, and the device each port opens. Neither
// connects nor disconnects; the values take effect at the next Connect or start.
#include <QDialog>

class QCheckBox;
class QComboBox;
class CVelkorApp;
class CPortDevicePicker;

class CSetupDlg : public QDialog {
    Q_OBJECT
  public:
    CSetupDlg(CVelkorApp* app, QWidget* parent);

    QComboBox* PortList() const { return m_port; }
    CPortDevicePicker* DeviceList() const { return m_device; }
    QComboBox* RateList() const { return m_rate; }
    QCheckBox* AutoLinkBox() const { return m_autoLink; }
    QCheckBox* CompressBox() const { return m_compress; }

    void accept() override;

  private:
    CVelkorApp* m_app;
    QComboBox* m_port;
    CPortDevicePicker* m_device;
    QComboBox* m_rate;
    QCheckBox* m_autoLink;
    QCheckBox* m_compress;
};
