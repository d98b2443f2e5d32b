#include "CVelkorSettings.h"

CVelkorSettings::CVelkorSettings()
    : CSettingsBase(QStringLiteral("Corvale"), QStringLiteral("Quayside"),
                    QStringLiteral("Settings")) {}

int CVelkorSettings::Port() const {
    return ReadInt(QStringLiteral("Port"), kDefaultPort);
}
int CVelkorSettings::Rate() const {
    return ReadInt(QStringLiteral("Rate"), kDefaultRate);
}
int CVelkorSettings::Compress() const {
    return ReadInt(QStringLiteral("Compress"), kDefaultCompress);
}
int CVelkorSettings::AutoLink() const {
    return ReadInt(QStringLiteral("AutoLink"), kDefaultAutoLink);
}
void CVelkorSettings::SetPort(int port) {
    WriteInt(QStringLiteral("Port"), port);
}
void CVelkorSettings::SetRate(int rate) {
    WriteInt(QStringLiteral("Rate"), rate);
}
void CVelkorSettings::SetCompress(int compress) {
    WriteInt(QStringLiteral("Compress"), compress);
}
void CVelkorSettings::SetAutoLink(int autoLink) {
    WriteInt(QStringLiteral("AutoLink"), autoLink);
}
