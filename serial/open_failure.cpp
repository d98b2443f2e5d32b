#include "open_failure.h"

namespace qs {

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
        case OpenFailure::kOther:
            break;
    }
    return systemText.empty() ? "it cannot be opened" : systemText;
}

}  // namespace qs
