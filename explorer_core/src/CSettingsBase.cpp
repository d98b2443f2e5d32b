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

int CSettingsBase::ViewMode() const {
    return ReadInt(QStringLiteral("ViewMode"), 0);
}
void CSettingsBase::SetViewMode(int mode) {
    WriteInt(QStringLiteral("ViewMode"), mode);
}

QByteArray CSettingsBase::WindowGeometry() const {
    return Read(QStringLiteral("WindowGeometry")).toByteArray();
}
QByteArray CSettingsBase::SplitterState() const {
    return Read(QStringLiteral("Splitter")).toByteArray();
}
void CSettingsBase::SetWindowGeometry(const QByteArray& geometry) {
    Write(QStringLiteral("WindowGeometry"), geometry);
}
void CSettingsBase::SetSplitterState(const QByteArray& state) {
    Write(QStringLiteral("Splitter"), state);
}

int CSettingsBase::ReadInt(const QString& key, int defaultValue) const {
    bool ok = false;
    const int v = Read(key).toInt(&ok);
    return ok ? v : defaultValue;
}

void CSettingsBase::WriteInt(const QString& key, int value) {
    Write(key, value);
}

QVariant CSettingsBase::Read(const QString& key) const {
    QSettings s(m_organisation, m_application);
    s.beginGroup(m_group);
    return s.value(key);
}

void CSettingsBase::Write(const QString& key, const QVariant& value) {
    QSettings s(m_organisation, m_application);
    s.beginGroup(m_group);
    s.setValue(key, value);
}

void CSettingsBase::Clear() {
    QSettings s(m_organisation, m_application);
    s.beginGroup(m_group);
    s.remove(QString());
}
