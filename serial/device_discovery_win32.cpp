// Windows: the COM ports present; the path is the name a port opens by (\\.\COM7), as the
// port lookups give it.
#include "com_ports_win32.h"
#include "device_discovery.h"
#include "port_name.h"

namespace qs {

std::vector<SerialDevice> DiscoverSerialDevices(const std::string&, const std::string&) {
    std::vector<SerialDevice> devices;
    for (const ComPort& port : PresentComPorts()) {
        SerialDevice d;
        d.node = "COM" + std::to_string(port.number);
        d.path = SerialDeviceForPort(port.number);
        d.maker = port.maker;
        d.product = port.friendlyName;
        devices.push_back(std::move(d));
    }
    return devices;
}

}  // namespace qs
