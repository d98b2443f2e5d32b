#include "port_name.h"

#include <cstdlib>

#include "port_map.h"

namespace qs {

std::string SerialDeviceForPort(int port) {
#ifdef _WIN32
    return "\\\\.\\COM" + std::to_string(port);
#else
    if (std::string dev = MappedDevice("COM" + std::to_string(port)); !dev.empty()) return dev;
    if (port < 1) return {};
    return "/dev/ttyS" + std::to_string(port - 1);
#endif
}

}  // namespace qs
