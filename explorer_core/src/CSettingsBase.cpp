#include "CSettingsBase.h"

#include <QSettings>
#include <utility>

CSettingsBase::CSettingsBase(QString organisation, QString application, QString group,
                             int defaultPort)
    : m_organisation(std::move(organisation)),
      m_application(std::move(application)),
      m_group(std::move(group)),
      m_defaultPort(defaultPort) {}

int CSettingsBase::Port() const {
    return ReadInt(QStringLiteral("Port"), m_defaultPort);
}
int CSettingsBase::Rate() const {
    return ReadInt(QStringLiteral("Rate"), kDefaultRate);
}
int CSettingsBase::Compress() const {
    return ReadInt(QStringLiteral("Compress"), kDefaultCompress);
}
int CSettingsBase::AutoLink() const {
    return ReadInt(QStringLiteral("AutoLink"), kDefaultAutoLink);
}
void CSettingsBase::SetPort(int port) {
    WriteInt(QStringLiteral("Port"), port);
}
void CSettingsBase::SetRate(int rate) {
    WriteInt(QStringLiteral("Rate"), rate);
}
void CSettingsBase::SetCompress(int compress) {
    WriteInt(QStringLiteral("Compress"), compress);
}
void CSettingsBase::SetAutoLink(int autoLink) {
    WriteInt(QStringLiteral("AutoLink"), autoLink);
}

int CSettingsBase::ReadInt(const QString& key, int defaultValue) const {
    QSettings s(m_organisation, m_application);
    s.beginGroup(m_group);
    bool ok = false;
    const int v = s.value(key, defaultValue).toInt(&ok);
    return ok ? v : defaultValue;
}

void CSettingsBase::WriteInt(const QString& key, int value) {
    QSettings s(m_organisation, m_application);
    s.beginGroup(m_group);
    s.setValue(key, value);
}

void CSettingsBase::Clear() {
    QSettings s(m_organisation, m_application);
    s.beginGroup(m_group);
    s.remove(QString());
}
