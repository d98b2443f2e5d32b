#include "com_ports_win32.h"
#include "port_map.h"
#include "port_name.h"

namespace qs {

// DRIFTBOX_USB or the port map's USB entry names the port as "7" or "COM7"; else the first
// port a USB bus enumerated.
std::string SerialDeviceForUsb() {
    const std::string chosen = MappedDevice("USB");
    int port = chosen.empty() ? 0 : ComPortNumber(chosen.c_str());
    if (chosen.empty())
        for (const ComPort& p : PresentComPorts())
            if (p.usb) {
                port = p.number;
                break;
            }
    return port ? SerialDeviceForPort(port) : std::string();
}

}  // namespace qs
