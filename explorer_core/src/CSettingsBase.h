#pragma once
// Integer values under organisation / application / group, in the desktop's settings store
// (an INI file on Linux). Each explorer derives the class that owns its keys and defaults.
#include <QString>

class CSettingsBase {
  public:
    CSettingsBase(QString organisation, QString application, QString group);
    virtual ~CSettingsBase() = default;

    int ReadInt(const QString& key, int defaultValue) const;
    void WriteInt(const QString& key, int value);
    // Removes every value of the group.
    void Clear();

  private:
    QString m_organisation;
    QString m_application;
    QString m_group;
};
