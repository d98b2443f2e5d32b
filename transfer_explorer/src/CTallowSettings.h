#pragma once
// The transfer explorer's four settings under Corvale / DriftboxGUI / Settings, with their
// defaults. Port 0 is USB, n is COMn.
#include "CSettingsBase.h"

class CTallowSettings : public CSettingsBase {
  public:
    static constexpr int kDefaultAutoLink = 1;
    static constexpr int kDefaultRate = 115200;
    static constexpr int kDefaultPort = 0;
    static constexpr int kDefaultCompress = 1;

    CTallowSettings();

    int AutoLink() const;
    int Rate() const;
    int Port() const;
    // Stored for the settings dialog only; the client library has no compression switch.
    int Compress() const;
    void SetAutoLink(int autoLink);
    void SetRate(int rate);
    void SetPort(int port);
    void SetCompress(int compress);
};
