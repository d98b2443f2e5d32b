#include <cstdlib>

#include "port_name.h"

namespace qs {

std::string SerialDeviceForPort(int port) {
    const std::string var = "COM" + std::to_string(port);
    if (const char* dev = std::getenv(var.c_str()); dev && *dev) return dev;
    if (port < 1) return {};
    return "/dev/ttyS" + std::to_string(port - 1);
}

}  // namespace qs
