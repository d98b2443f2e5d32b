#include "open_failure.h"

#include <cerrno>

namespace qs {

// Also the C runtime's errno values on Windows, for callers that have one (a failed _open).
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
        case EINVAL:
            return OpenFailure::kSettingsRefused;
        default:
            return OpenFailure::kOther;
    }
}

std::string OpenFailureReason(OpenFailure failure, const std::string& systemText) {
    switch (failure) {
        case OpenFailure::kNone:
            return "it opens";
        case OpenFailure::kMissing:
            return "no such device";
        case OpenFailure::kPermissionDenied:
            return "permission denied";
        case OpenFailure::kInUse:
            return "in use by another program";
        case OpenFailure::kNotSerial:
            return "not a serial device";
        case OpenFailure::kSettingsRefused:
            return "it does not take the line settings";
        case OpenFailure::kOther:
            break;
    }
    return systemText.empty() ? "it cannot be opened" : systemText;
}

}  // namespace qs
