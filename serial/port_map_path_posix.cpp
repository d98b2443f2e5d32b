#include <cstdlib>

#include "port_map.h"

namespace qs {

std::string PortMapPath() {
    // The XDG base directory rules: a relative XDG_CONFIG_HOME is to be ignored.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        return std::string(xdg) + "/Corvale/ports.conf";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.config/Corvale/ports.conf";
    return {};
}

}  // namespace qs
