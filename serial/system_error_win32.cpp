#include <windows.h>

#include "system_error.h"

namespace qs {

int LastSystemError() {
    return static_cast<int>(GetLastError());
}

void SetLastSystemError(int error) {
    SetLastError(static_cast<DWORD>(error));
}

int NoSuchDeviceError() {
    return ERROR_FILE_NOT_FOUND;
}

int SettingsRefusedError() {
    return ERROR_INVALID_PARAMETER;
}

// What a second open of a COM port gets from the system.
int InUseError() {
    return ERROR_ACCESS_DENIED;
}

int NoAnswerError() {
    return ERROR_TIMEOUT;
}

int DeviceGoneError() {
    return ERROR_DEVICE_NOT_CONNECTED;
}

}  // namespace qs
