#include <cerrno>
#include <cstring>

#include "open_failure.h"
#include "tty_posix.h"

namespace qs {

OpenFailure OpenFailureFromSystemError(int err) {
    return OpenFailureFromErrno(err);
}

std::string SystemErrorText(int err) {
    return err ? std::strerror(err) : "";
}

OpenFailure ProbeOpen(const std::string& device, std::string* systemText) {
    if (device.empty()) {
        if (systemText) *systemText = std::strerror(ENOENT);
        return OpenFailure::kMissing;
    }
    const int fd = OpenTtyExclusive(device.c_str());
    const int err = fd < 0 ? errno : 0;
    if (fd >= 0) CloseTty(fd);
    if (systemText) *systemText = SystemErrorText(err);
    return OpenFailureFromErrno(err);
}

const char* PermissionDeniedHint() {
    return "Add your user to the group dialout: sudo usermod -aG dialout $USER, then log in "
           "again";
}

}  // namespace qs
