#include <cerrno>
#include <cstring>

#include "open_failure.h"
#include "tty_posix.h"

namespace qs {

OpenFailure OpenFailureFromErrno(int err) {
    switch (err) {
        case 0:
            return OpenFailure::kNone;
        case ENOENT:
        case ENODEV:  // a device node whose driver has gone (adapter pulled while open)
        case ENXIO:   // a ttyS node with no UART behind it
            return OpenFailure::kMissing;
        case EACCES:
        case EPERM:
            return OpenFailure::kPermissionDenied;
        case EBUSY:
            return OpenFailure::kInUse;
        case ENOTTY:
        case EISDIR:
            return OpenFailure::kNotSerial;
        default:
            return OpenFailure::kOther;
    }
}

OpenFailure ProbeOpen(const std::string& device, std::string* systemText) {
    if (device.empty()) {
        if (systemText) *systemText = std::strerror(ENOENT);
        return OpenFailure::kMissing;
    }
    const int fd = OpenTtyExclusive(device.c_str());
    const int err = fd < 0 ? errno : 0;
    if (fd >= 0) CloseTty(fd);
    if (systemText) *systemText = err ? std::strerror(err) : "";
    return OpenFailureFromErrno(err);
}

const char* PermissionDeniedHint() {
    return "Add your user to the group dialout: sudo usermod -aG dialout $USER, then log in "
           "again";
}

}  // namespace qs
