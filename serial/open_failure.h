#pragma once
#include <string>

namespace qs {

// Why a serial device did not open, in the terms a user can act on.
enum class OpenFailure {
    kNone,              // it opens
    kMissing,           // no such device (unplugged adapter, a port that is not there)
    kPermissionDenied,  // the user may not open it (not in the group dialout)
    kInUse,             // another program holds it
    kNotSerial,         // the path names something that is not a serial device
    kOther,             // anything else; the system's own text says what
};

// The failure an open's errno stands for.
OpenFailure OpenFailureFromErrno(int err);

// Opens device exactly as the libraries do (exclusive, raw) and lets go at once: the reason
// the libraries' own open of the same device failed, since they report only that it did.
// *systemText, when given, receives the system's text for the error.
OpenFailure ProbeOpen(const std::string& device, std::string* systemText = nullptr);

// The reason in a few words for a person ("permission denied"); kOther gives systemText.
std::string OpenFailureReason(OpenFailure failure, const std::string& systemText = {});

// What to do about kPermissionDenied.
const char* PermissionDeniedHint();

}  // namespace qs
