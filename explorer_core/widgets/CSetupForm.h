#pragma once
// The Setup dialog both explorers show: the port list with the device each port opens, the
// rate list, auto-connect and compression. Each program hands in its texts and entries,
// selects its stored values and stores what OK takes; nothing is stored while the device
// choices could not be saved.
#include <QDialog>
#include <QStringList>

#include "CPortDevicePicker.h"

class QCheckBox;
class QComboBox;

class CSetupForm : public QDialog {
    Q_OBJECT
  public:
    struct Texts {
        QString title, port, device, rate, autoLink, compress;
        QString ok, cancel;  // empty: Qt's own
        CPortDevicePicker::Texts devices;
    };

    QComboBox* PortList() const { return m_port; }
    CPortDevicePicker* DeviceList() const { return m_device; }
    QComboBox* RateList() const { return m_rate; }
    QCheckBox* AutoLinkBox() const { return m_autoLink; }
    QCheckBox* CompressBox() const { return m_compress; }

    void accept() override;

  protected:
    // editable: the port and rate lists take typed text too (never added to the lists).
    CSetupForm(const Texts& texts, const QStringList& ports, const QStringList& rates,
               bool editable, QWidget* parent);
    // The device choices could not be saved, for this reason.
    virtual void ShowMapError(const QString& error) = 0;
    // OK's values into the program's settings.
    virtual void Store() = 0;

  private:
    QComboBox* m_port;
    CPortDevicePicker* m_device;
    QComboBox* m_rate;
    QCheckBox* m_autoLink;
    QCheckBox* m_compress;
};
