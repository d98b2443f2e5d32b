#include <glob.h>

#include "port_map.h"
#include "port_name.h"

namespace qs {

std::string SerialDeviceForUsb() {
    if (std::string dev = MappedDevice("USB"); !dev.empty()) return dev;
    // A terminal cradle is a USB modem-class device; glob sorts, so ttyACM0 comes first.
    glob_t g{};
    std::string found;
    if (::glob("/dev/ttyACM*", 0, nullptr, &g) == 0 && g.gl_pathc > 0) found = g.gl_pathv[0];
    ::globfree(&g);
    return found;
}

}  // namespace qs
