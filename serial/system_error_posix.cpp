#include <cerrno>

#include "system_error.h"

namespace qs {

int LastSystemError() {
    return errno;
}

void SetLastSystemError(int error) {
    errno = error;
}

int NoSuchDeviceError() {
    return ENOENT;
}

int SettingsRefusedError() {
    return EINVAL;
}

int InUseError() {
    return EBUSY;
}

int NoAnswerError() {
    return ETIMEDOUT;
}

int DeviceGoneError() {
    return ENODEV;
}

}  // namespace qs
