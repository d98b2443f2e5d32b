#include "CSetupDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "CPortDevicePicker.h"
#include "CTallowApp.h"

CSetupDlg::CSetupDlg(CTallowApp* app, QWidget* parent)
    : QDialog(parent),
      m_app(app),
      m_port(new QComboBox(this)),
      m_rate(new QComboBox(this)),
      m_autoLink(new QCheckBox(tr("每次启动自动连接"), this)),
      m_compress(new QCheckBox(tr("以压缩的报文通讯"), this)) {
    setWindowTitle(tr("设置"));
    for (QComboBox* box : {m_port, m_rate}) {
        box->setEditable(true);
        // Typed text is taken as it is, never added to the list.
        box->setInsertPolicy(QComboBox::NoInsert);
    }
    m_port->addItems(PortEntries());
    m_device =
        new CPortDevicePicker(m_port, {tr("(无)"), tr("未接入"), tr("已设置环境变量%1")}, this);
    m_rate->addItems(RateEntries());

    auto* form = new QFormLayout;
    form->addRow(tr("端口"), m_port);
    form->addRow(tr("设备"), m_device);
    form->addRow(tr("波特率"), m_rate);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CSetupDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSetupDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_autoLink);
    layout->addWidget(m_compress);
    layout->addWidget(buttons);

    const CTallowSettings& s = app->Settings();
    const QString rateText = QString::number(s.Rate());
    const QString portText =
        s.Port() == 0 ? QStringLiteral("USB") : QStringLiteral("COM%1").arg(s.Port());
    // The matching list entries are selected; the boxes show the stored values either way.
    m_rate->setCurrentIndex(m_rate->findText(rateText, Qt::MatchStartsWith));
    m_rate->setEditText(rateText);
    m_port->setCurrentIndex(m_port->findText(portText, Qt::MatchExactly));
    m_port->setEditText(portText);
    m_autoLink->setChecked(s.AutoLink() != 0);
    m_compress->setChecked(s.Compress() != 0);
}

QStringList CSetupDlg::PortEntries() {
    QStringList ports{QStringLiteral("USB")};
    for (int i = 1; i <= 9; ++i) ports << QStringLiteral("COM%1").arg(i);
    return ports;
}

QStringList CSetupDlg::RateEntries() {
    return {QStringLiteral("921600"), QStringLiteral("460800 "), QStringLiteral("230400"),
            QStringLiteral("115200"), QStringLiteral("57600"),   QStringLiteral("38400"),
            QStringLiteral("19200"),  QStringLiteral("9600")};
}

int CSetupDlg::LeadingNumber(const QString& text) {
    qint64 value = 0;
    int i = 0;
    while (i < text.size() && text[i].isSpace()) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        // An absurd number typed in must not wrap into some other rate.
        if (value > INT_MAX) return 0;
    }
    return static_cast<int>(negative ? -value : value);
}

void CSetupDlg::accept() {
    // Nothing is stored while the device choices could not be: the user may try again.
    if (QString error; !m_device->Commit(&error)) {
        m_app->Message(this, tr("无法保存端口映射：%1").arg(error), QMessageBox::Ok,
                       QMessageBox::Warning);
        return;
    }
    const int rate = LeadingNumber(m_rate->currentText());
    // The selected entry is the one the box's text names; typed text naming none gives -1.
    const int port = m_port->findText(m_port->currentText(), Qt::MatchExactly);
    CTallowSettings& s = m_app->Settings();
    s.SetAutoLink(m_autoLink->isChecked() ? 1 : 0);
    s.SetRate(rate);
    s.SetPort(port);
    s.SetCompress(m_compress->isChecked() ? 1 : 0);
    m_app->ApplySettings(port, rate);
    QDialog::accept();
}
