#include "CVelkorSettings.h"

CVelkorSettings::CVelkorSettings()
    : CSettingsBase(QStringLiteral("Corvale"), QStringLiteral("Quayside"),
                    QStringLiteral("Settings"), kDefaultPort) {}
