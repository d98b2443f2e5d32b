#include "CSetupDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>

#include "CTallowApp.h"

CSetupDlg::CSetupDlg(CTallowApp* app, QWidget* parent)
    : CSetupForm(SetupTexts(), PortEntries(), RateEntries(), true, parent), m_app(app) {
    const CTallowSettings& s = app->Settings();
    const QString rateText = QString::number(s.Rate());
    const QString portText =
        s.Port() == 0 ? QStringLiteral("USB") : QStringLiteral("COM%1").arg(s.Port());
    // The matching list entries are selected; the boxes show the stored values either way.
    RateList()->setCurrentIndex(RateList()->findText(rateText, Qt::MatchStartsWith));
    RateList()->setEditText(rateText);
    PortList()->setCurrentIndex(PortList()->findText(portText, Qt::MatchExactly));
    PortList()->setEditText(portText);
    AutoLinkBox()->setChecked(s.AutoLink() != 0);
    CompressBox()->setChecked(s.Compress() != 0);
}

CSetupForm::Texts CSetupDlg::SetupTexts() {
    Texts t;
    t.title = tr("设置");
    t.port = tr("端口");
    t.device = tr("设备");
    t.rate = tr("波特率");
    t.autoLink = tr("每次启动自动连接");
    t.compress = tr("以压缩的报文通讯");
    t.ok = tr("确定");
    t.cancel = tr("取消");
    t.devices = {tr("(无)"), tr("未接入"), tr("已设置环境变量%1")};
    return t;
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

void CSetupDlg::ShowMapError(const QString& error) {
    m_app->Message(this, tr("无法保存端口映射：%1").arg(error), QMessageBox::Ok,
                   QMessageBox::Warning);
}

void CSetupDlg::Store() {
    const int rate = LeadingNumber(RateList()->currentText());
    // The selected entry is the one the box's text names; typed text naming none gives -1.
    const int port = PortList()->findText(PortList()->currentText(), Qt::MatchExactly);
    CTallowSettings& s = m_app->Settings();
    s.SetAutoLink(AutoLinkBox()->isChecked() ? 1 : 0);
    s.SetRate(rate);
    s.SetPort(port);
    s.SetCompress(CompressBox()->isChecked() ? 1 : 0);
    m_app->ApplySettings(port, rate);
}
