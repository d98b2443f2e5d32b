#pragma once
// The transfer explorer's settings under Corvale / DriftboxGUI / Settings. Port 0 is USB, n is
// COMn; it starts on USB. Compress is stored for the settings dialog only: the client library
// has no compression switch.
#include "CSettingsBase.h"

class CTallowSettings : public CSettingsBase {
  public:
    static constexpr int kDefaultPort = 0;

    CTallowSettings();
};
