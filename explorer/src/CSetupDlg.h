#pragma once
// Port, rate, auto-connect and compression settings. Neither connects nor disconnects; the
// values take effect at the next Connect or start.
#include <QDialog>

class QCheckBox;
class QComboBox;
class CVelkorApp;

class CSetupDlg : public QDialog {
    Q_OBJECT
  public:
    CSetupDlg(CVelkorApp* app, QWidget* parent);

    QComboBox* PortList() const { return m_port; }
    QComboBox* RateList() const { return m_rate; }
    QCheckBox* AutoLinkBox() const { return m_autoLink; }
    QCheckBox* CompressBox() const { return m_compress; }

    void accept() override;

  private:
    CVelkorApp* m_app;
    QComboBox* m_port;
    QComboBox* m_rate;
    QCheckBox* m_autoLink;
    QCheckBox* m_compress;
};
