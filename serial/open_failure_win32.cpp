#include <cerrno>
#include <string>

#include "comm_win32.h"
#include "open_failure.h"

namespace qs {
namespace {

OpenFailure FromLastError(DWORD err) {
    switch (err) {
        case ERROR_SUCCESS:
            return OpenFailure::kNone;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_UNIT:
        case ERROR_DEV_NOT_EXIST:
            return OpenFailure::kMissing;
        case ERROR_ACCESS_DENIED:
            // An open COM port refuses a second open with this code: by far the usual cause.
            return OpenFailure::kInUse;
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY:
            return OpenFailure::kInUse;
        case ERROR_INVALID_NAME:
        case ERROR_NOT_SUPPORTED:
        case ERROR_INVALID_FUNCTION:
            return OpenFailure::kNotSerial;
        case ERROR_INVALID_PARAMETER:
            // What SetCommState says to a speed or format the driver cannot do.
            return OpenFailure::kSettingsRefused;
        default:
            return OpenFailure::kOther;
    }
}

std::string SystemText(DWORD err) {
    char* text = nullptr;
    const DWORD n = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, err, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string s = n && text ? std::string(text, n) : "error " + std::to_string(err);
    if (text) LocalFree(text);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == '.')) s.pop_back();
    return s;
}

}  // namespace

OpenFailure OpenFailureFromSystemError(int err) {
    return FromLastError(static_cast<DWORD>(err));
}

std::string SystemErrorText(int err) {
    return err ? SystemText(static_cast<DWORD>(err)) : "";
}

OpenFailure ProbeOpen(const std::string& device, std::string* systemText) {
    if (device.empty()) {
        if (systemText) *systemText = SystemText(ERROR_FILE_NOT_FOUND);
        return OpenFailure::kMissing;
    }
    const HANDLE h = OpenComm(device.c_str());
    const DWORD err = h == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    if (systemText) *systemText = err ? SystemText(err) : "";
    return FromLastError(err);
}

const char* PermissionDeniedHint() {
    return "Check in Device Manager that the port is enabled and that no other program has it "
           "open";
}

}  // namespace qs
