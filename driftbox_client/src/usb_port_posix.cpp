#include <glob.h>

#include <cstdlib>

#include "usb_port.h"

namespace driftbox {

std::string UsbSerialDevice() {
    if (const char* dev = std::getenv("DRIFTBOX_USB"); dev && *dev) return dev;
    glob_t g{};
    std::string found;
    if (::glob("/dev/ttyACM*", 0, nullptr, &g) == 0 && g.gl_pathc > 0) found = g.gl_pathv[0];
    ::globfree(&g);
    return found;
}

}  // namespace driftbox
