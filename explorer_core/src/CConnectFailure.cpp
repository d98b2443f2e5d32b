#include "CConnectFailure.h"

#include <string>

#include "port_name.h"

QString CConnectFailure::DeviceOf(int port, bool zeroIsUsb) {
    if (port == 0 && zeroIsUsb) {
        const std::string usb = qs::SerialDeviceForUsb();
        return usb.empty() ? QStringLiteral("USB") : QString::fromStdString(usb);
    }
    const std::string device = qs::SerialDeviceForPort(port);
    return device.empty() ? QStringLiteral("COM%1").arg(port) : QString::fromStdString(device);
}

QString CConnectFailure::Text(const QString& message, const QString& device, int error,
                              const Words& words) {
    const qs::OpenFailure failure = qs::OpenFailureFromSystemError(error);
    if (failure == qs::OpenFailure::kNone) return message + u'\n' + words.quiet.arg(device);
    const QString systemText = QString::fromLocal8Bit(qs::SystemErrorText(error));
    QString text =
        message + u'\n' + words.didNotOpen.arg(device, words.reason(failure, systemText));
    if (failure == qs::OpenFailure::kPermissionDenied) text += u'\n' + words.permissionHint;
    return text;
}
