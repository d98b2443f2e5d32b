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
    kSettingsRefused,   // it opens, but does not take the line settings (speed, format)
    kOther,             // anything else; the system's own text says what
};

// The failure an open's errno stands for.
OpenFailure OpenFailureFromErrno(int err);

// The failure a library's failed open left in the platform's last-error slot (errno on
// POSIX, GetLastError() on Windows; see system_error.h), and the system's text for it.
OpenFailure OpenFailureFromSystemError(int err);
std::string SystemErrorText(int err);

// Opens device exactly as the libraries do (exclusive, raw) and lets go at once, for asking
// about a device no library call has tried yet. *systemText, when given, receives the
// system's text for the error.
OpenFailure ProbeOpen(const std::string& device, std::string* systemText = nullptr);

// The reason in a few words for a person ("permission denied"); kOther gives systemText.
std::string OpenFailureReason(OpenFailure failure, const std::string& systemText = {});

// What to do about kPermissionDenied.
const char* PermissionDeniedHint();

}  // namespace qs
