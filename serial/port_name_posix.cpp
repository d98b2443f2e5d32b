#include <cstdlib>

#include "port_map.h"
#include "port_name.h"

namespace qs {

std::string SerialDeviceForPort(int port) {
    if (std::string dev = MappedDevice("COM" + std::to_string(port)); !dev.empty()) return dev;
    if (port < 1) return {};
    return "/dev/ttyS" + std::to_string(port - 1);
}

}  // namespace qs
