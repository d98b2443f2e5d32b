#pragma once
// The platform's own last-error slot: errno on POSIX, GetLastError() on Windows. When a
// library's open fails, the reason is left there for its caller, the way the platform's own
// calls do it; one file per OS says where the slot is.

namespace qs {

int LastSystemError();
void SetLastSystemError(int error);

// No such device: ENOENT, ERROR_FILE_NOT_FOUND.
int NoSuchDeviceError();
// The device opened but would not take the line settings asked for: EINVAL,
// ERROR_INVALID_PARAMETER.
int SettingsRefusedError();
// The port is already held (by the caller itself): EBUSY, ERROR_ACCESS_DENIED.
int InUseError();
// A call to an open port got no answer from the terminal: ETIMEDOUT, ERROR_TIMEOUT.
int NoAnswerError();
// The port's device went away: ENODEV, ERROR_DEVICE_NOT_CONNECTED.
int DeviceGoneError();

}  // namespace qs
