#pragma once
// A serial port that opens and never answers, one file per OS: a pseudo-terminal with nobody
// behind it on POSIX (CQuietPort.cpp); under Wine the native simulator that scripts/windows.sh
// started silent on the COM port ZOT_WINE_QUIET_PORT names (CQuietPort_win32.cpp).
#include <QString>

class CQuietPort {
  public:
    CQuietPort();
    ~CQuietPort();
    CQuietPort(const CQuietPort&) = delete;
    CQuietPort& operator=(const CQuietPort&) = delete;

    bool Ok() const { return !m_device.isEmpty(); }
    QString Unsupported() const { return m_unsupported; }
    // What DRIFTBOX_USB or a port map entry names it by.
    QString Device() const { return m_device; }
    // How the explorers' messages name it.
    QString Shown() const { return m_shown; }

  private:
    int m_master = -1;
    QString m_device;
    QString m_shown;
    QString m_unsupported;
};
