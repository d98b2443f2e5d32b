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

std::string SerialDeviceForName(const std::string& name) {
    auto is = [&](const char* word) {
        if (name.size() < 3) return false;
        for (size_t i = 0; i < 3; ++i)
            if ((name[i] | 0x20) != word[i]) return false;
        return true;
    };
    if (name.size() == 3 && is("usb")) return SerialDeviceForUsb();
    if (name.size() > 3 && name.size() <= 6 && is("com") &&
        name.find_first_not_of("0123456789", 3) == std::string::npos && name[3] != '0')
        return SerialDeviceForPort(std::stoi(name.substr(3)));
    return name;
}

}  // namespace qs
