#include <cstdlib>

#include "port_map.h"

namespace qs {

// The roaming application data folder is where Windows programs keep a user's settings.
std::string PortMapPath() {
    if (const char* appData = std::getenv("APPDATA"); appData && *appData)
        return std::string(appData) + "\\Corvale\\ports.conf";
    return {};
}

}  // namespace qs
