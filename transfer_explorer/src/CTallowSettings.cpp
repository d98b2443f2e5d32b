#include "CTallowSettings.h"

CTallowSettings::CTallowSettings()
    : CSettingsBase(QStringLiteral("Corvale"), QStringLiteral("DriftboxGUI"),
                    QStringLiteral("Settings")) {}

int CTallowSettings::AutoLink() const {
    return ReadInt(QStringLiteral("AutoLink"), kDefaultAutoLink);
}
int CTallowSettings::Rate() const {
    return ReadInt(QStringLiteral("Rate"), kDefaultRate);
}
int CTallowSettings::Port() const {
    return ReadInt(QStringLiteral("Port"), kDefaultPort);
}
int CTallowSettings::Compress() const {
    return ReadInt(QStringLiteral("Compress"), kDefaultCompress);
}
void CTallowSettings::SetAutoLink(int autoLink) {
    WriteInt(QStringLiteral("AutoLink"), autoLink);
}
void CTallowSettings::SetRate(int rate) {
    WriteInt(QStringLiteral("Rate"), rate);
}
void CTallowSettings::SetPort(int port) {
    WriteInt(QStringLiteral("Port"), port);
}
void CTallowSettings::SetCompress(int compress) {
    WriteInt(QStringLiteral("Compress"), compress);
}
