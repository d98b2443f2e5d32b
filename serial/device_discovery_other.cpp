// Systems without /dev/serial and sysfs: nothing to discover; ports are named by hand.
#include "device_discovery.h"

namespace qs {

std::vector<SerialDevice> DiscoverSerialDevices(const std::string&, const std::string&) {
    return {};
}

}  // namespace qs
