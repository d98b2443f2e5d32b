// clang-format off
#include <windows.h>
#include <setupapi.h>
#include <devguid.h>
// clang-format on

#include <cstdlib>
#include <cstring>

#include "port_map.h"
#include "port_name.h"

namespace qs {
namespace {

// "7" or "COM7" (any case); 0 when the text is neither.
int PortNumber(const char* text) {
    if (_strnicmp(text, "COM", 3) == 0) text += 3;
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    return *text && *end == '\0' && n >= 1 && n <= 255 ? static_cast<int>(n) : 0;
}

// The COM number of the first present port device that a USB bus enumerated.
int FirstUsbPort() {
    const HDEVINFO set = SetupDiGetClassDevsA(&GUID_DEVCLASS_PORTS, "USB", nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) return 0;
    int found = 0;
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    for (DWORD i = 0; !found && SetupDiEnumDeviceInfo(set, i, &info); ++i) {
        const HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) continue;
        char name[32] = {};
        DWORD size = sizeof name - 1;
        DWORD type = 0;
        if (RegQueryValueExA(key, "PortName", nullptr, &type, reinterpret_cast<BYTE*>(name),
                             &size) == ERROR_SUCCESS &&
            type == REG_SZ)
            found = PortNumber(name);
        RegCloseKey(key);
    }
    SetupDiDestroyDeviceInfoList(set);
    return found;
}

}  // namespace

// DRIFTBOX_USB or the port map's USB entry names the port as "7" or "COM7".
std::string SerialDeviceForUsb() {
    const std::string chosen = MappedDevice("USB");
    const int port = chosen.empty() ? FirstUsbPort() : PortNumber(chosen.c_str());
    return port ? SerialDeviceForPort(port) : std::string();
}

}  // namespace qs
