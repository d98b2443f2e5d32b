#include "CSetupDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>

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
    : CSetupForm(SetupTexts(), app->PortEntries(), CVelkorApp::RateEntries(), false, parent),
      m_app(app) {
    const CVelkorSettings& s = app->Settings();
    RateList()->setCurrentIndex(FirstStartingWith(RateList(), QString::number(s.Rate())));
    PortList()->setCurrentIndex(
        FirstStartingWith(PortList(), QStringLiteral("COM%1").arg(s.Port())));
    AutoLinkBox()->setChecked(s.AutoLink() != 0);
    CompressBox()->setChecked(s.Compress() != 0);
}

CSetupForm::Texts CSetupDlg::SetupTexts() {
    Texts t;
    t.title = tr("Setup");
    t.port = tr("Port:");
    t.device = tr("Device:");
    t.rate = tr("Baud rate:");
    t.autoLink = tr("Auto connect while launch");
    t.compress = tr("Compress datagram");
    t.devices = {tr("(none)"), tr("not present"), tr("%1 is set in the environment")};
    return t;
}

void CSetupDlg::ShowMapError(const QString& error) {
    m_app->Message(this, tr("Cannot save the port map: %1").arg(error), QMessageBox::Ok,
                   QMessageBox::Warning);
}

void CSetupDlg::Store() {
    CVelkorSettings& s = m_app->Settings();
    // A list without a selection keeps the value that was stored.
    const int rate = RateList()->currentIndex() >= 0 ? RateList()->currentText().toInt() : s.Rate();
    const int port = PortList()->currentIndex() >= 0 ? PortList()->currentIndex() + 1 : s.Port();
    s.SetAutoLink(AutoLinkBox()->isChecked() ? 1 : 0);
    s.SetRate(rate);
    s.SetPort(port);
    s.SetCompress(CompressBox()->isChecked() ? 1 : 0);
}
