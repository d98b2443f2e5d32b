#include <unistd.h>

#include <cstdlib>

#include "platform.h"

namespace zotcli {
namespace {

// Where --device is reached: the library takes a port's device from the COMn variable.
constexpr int kDevicePort = 255;

}  // namespace

std::filesystem::path PcPath(const std::string& localText) {
    return localText;
}

int PortForDevice(const std::string& device) {
    ::setenv(("COM" + std::to_string(kDevicePort)).c_str(), device.c_str(), 1);
    return kDevicePort;
}

std::tm UtcCalendar(std::time_t t) {
    std::tm tm{};
    gmtime_r(&t, &tm);
    return tm;
}

bool StderrIsTerminal() {
    return ::isatty(STDERR_FILENO) != 0;
}

}  // namespace zotcli
