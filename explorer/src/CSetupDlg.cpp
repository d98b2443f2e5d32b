#include "CSetupDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QMessageBox>
#include <QVBoxLayout>

#include "CPortDevicePicker.h"
#include "CVelkorApp.h"

namespace {
// The first entry whose text begins with prefix, or -1: a stored value that matches no entry
// leaves the list without a selection.
int FirstStartingWith(const QComboBox* box, const QString& prefix) {
    for (int i = 0; i < box->count(); ++i) {
        if (box->itemText(i).startsWith(prefix)) return i;
    }
    return -1;
}
}  // namespace

CSetupDlg::CSetupDlg(CVelkorApp* app, QWidget* parent)
    : QDialog(parent),
      m_app(app),
      m_port(new QComboBox(this)),
      m_rate(new QComboBox(this)),
      m_autoLink(new QCheckBox(tr("Auto connect while launch"), this)),
      m_compress(new QCheckBox(tr("Compress datagram"), this)) {
    setWindowTitle(tr("Setup"));
    m_port->addItems(app->PortEntries());
    m_device = new CPortDevicePicker(
        m_port, {tr("(none)"), tr("not present"), tr("%1 is set in the environment")}, this);
    m_rate->addItems(CVelkorApp::RateEntries());

    auto* form = new QFormLayout;
    form->addRow(tr("Port:"), m_port);
    form->addRow(tr("Device:"), m_device);
    form->addRow(tr("Baud rate:"), m_rate);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSetupDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSetupDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_autoLink);
    layout->addWidget(m_compress);
    layout->addWidget(buttons);

    const CVelkorSettings& s = app->Settings();
    m_rate->setCurrentIndex(FirstStartingWith(m_rate, QString::number(s.Rate())));
    m_port->setCurrentIndex(FirstStartingWith(m_port, QStringLiteral("COM%1").arg(s.Port())));
    m_autoLink->setChecked(s.AutoLink() != 0);
    m_compress->setChecked(s.Compress() != 0);
}

void CSetupDlg::accept() {
    // Nothing is stored while the device choices could not be: the user may try again.
    if (QString error; !m_device->Commit(&error)) {
        m_app->Message(this, tr("Cannot save the port map: %1").arg(error), QMessageBox::Ok,
                       QMessageBox::Warning);
        return;
    }
    CVelkorSettings& s = m_app->Settings();
    // A list without a selection keeps the value that was stored.
    const int rate = m_rate->currentIndex() >= 0 ? m_rate->currentText().toInt() : s.Rate();
    const int port = m_port->currentIndex() >= 0 ? m_port->currentIndex() + 1 : s.Port();
    s.SetAutoLink(m_autoLink->isChecked() ? 1 : 0);
    s.SetRate(rate);
    s.SetPort(port);
    s.SetCompress(m_compress->isChecked() ? 1 : 0);
    QDialog::accept();
}
