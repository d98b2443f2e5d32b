#include "CSetupForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

CSetupForm::CSetupForm(const Texts& texts, const QStringList& ports, const QStringList& rates,
                       bool editable, QWidget* parent)
    : QDialog(parent),
      m_port(new QComboBox(this)),
      m_rate(new QComboBox(this)),
      m_autoLink(new QCheckBox(texts.autoLink, this)),
      m_compress(new QCheckBox(texts.compress, this)) {
    setWindowTitle(texts.title);
    if (editable) {
        for (QComboBox* box : {m_port, m_rate}) {
            box->setEditable(true);
            // Typed text is taken as it is, never added to the list.
            box->setInsertPolicy(QComboBox::NoInsert);
        }
    }
    m_port->addItems(ports);
    // After the entries: the picker reads them.
    m_device = new CPortDevicePicker(m_port, texts.devices, this);
    m_rate->addItems(rates);

    auto* form = new QFormLayout;
    form->addRow(texts.port, m_port);
    form->addRow(texts.device, m_device);
    form->addRow(texts.rate, m_rate);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    if (!texts.ok.isEmpty()) buttons->button(QDialogButtonBox::Ok)->setText(texts.ok);
    if (!texts.cancel.isEmpty()) buttons->button(QDialogButtonBox::Cancel)->setText(texts.cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSetupForm::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSetupForm::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_autoLink);
    layout->addWidget(m_compress);
    layout->addWidget(buttons);
}

void CSetupForm::accept() {
    // Nothing is stored while the device choices could not be: the user may try again.
    if (QString error; !m_device->Commit(&error)) {
        ShowMapError(error);
        return;
    }
    Store();
    QDialog::accept();
}
