#pragma once
// The device explorer's four settings under Corvale / Quayside / Settings, with their defaults.
#include "CSettingsBase.h"

class CVelkorSettings : public CSettingsBase {
  public:
    static constexpr int kDefaultPort = 1;
    static constexpr int kDefaultRate = 115200;
    static constexpr int kDefaultCompress = 1;
    static constexpr int kDefaultAutoLink = 1;

    CVelkorSettings();

    int Port() const;
    int Rate() const;
    int Compress() const;
    int AutoLink() const;
    void SetPort(int port);
    void SetRate(int rate);
    void SetCompress(int compress);
    void SetAutoLink(int autoLink);
};
