#pragma once
// The device explorer's settings under Corvale / Quayside / Settings; it starts on COM1.
#include "CSettingsBase.h"

class CVelkorSettings : public CSettingsBase {
  public:
    static constexpr int kDefaultPort = 1;

    CVelkorSettings();
};
