#include "CSettingsBase.h"

#include <QSettings>
#include <utility>

CSettingsBase::CSettingsBase(QString organisation, QString application, QString group)
    : m_organisation(std::move(organisation)),
      m_application(std::move(application)),
      m_group(std::move(group)) {}

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
