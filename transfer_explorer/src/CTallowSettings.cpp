#include "CTallowSettings.h"

CTallowSettings::CTallowSettings()
    : CSettingsBase(QStringLiteral("Corvale"), QStringLiteral("DriftboxGUI"),
                    QStringLiteral("Settings"), kDefaultPort) {}
