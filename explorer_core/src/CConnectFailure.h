#pragma once
// Why a connection attempt failed, as lines under the program's own failure message. The
// libraries leave the error of their device open for the caller; both explorers turn it into
// words here, each in its own language.
#include <QString>
#include <functional>

#include "open_failure.h"

class CConnectFailure {
  public:
    struct Words {
        QString didNotOpen;  // "%1 did not open: %2": device, reason
        // The reason in a few words; kOther passes the system's text for the error.
        std::function<QString(qs::OpenFailure failure, const QString& systemText)> reason;
        QString permissionHint;  // the line after "permission denied": what to do about it
        QString quiet;           // "%1 opened, but no terminal answered": device
    };

    // The device the libraries open for a port: COMn for n >= 1, the USB serial device for 0
    // when zeroIsUsb. Where there is none, the port's name ("COMn", "USB").
    static QString DeviceOf(int port, bool zeroIsUsb);

    // message, then one line saying why: the open of device failed with error (what the
    // library left in the system's last error: errno, on Windows GetLastError()), or for 0 the
    // device opened and no terminal answered. After a permission denied the hint follows on a
    // line of its own.
    static QString Text(const QString& message, const QString& device, int error,
                        const Words& words);
};
