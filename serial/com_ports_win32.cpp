// clang-format off
#include <windows.h>
#include <setupapi.h>
#include <devguid.h>
// clang-format on

#include "com_ports_win32.h"

#include <cstdlib>
#include <cstring>
#include <map>

namespace qs {
namespace {

std::string DeviceProperty(HDEVINFO set, SP_DEVINFO_DATA* info, DWORD property) {
    char text[256] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyA(
            set, info, property, &type, reinterpret_cast<BYTE*>(text), sizeof text - 1, nullptr) ||
        type != REG_SZ)
        return {};
    return text;
}

// The port name a ports-class device was given ("COM7"), from its device key.
int DevicePortNumber(HDEVINFO set, SP_DEVINFO_DATA* info) {
    const HKEY key = SetupDiOpenDevRegKey(set, info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) return 0;
    char name[32] = {};
    DWORD size = sizeof name - 1;
    DWORD type = 0;
    int number = 0;
    if (RegQueryValueExA(key, "PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size) ==
            ERROR_SUCCESS &&
        type == REG_SZ)
        number = ComPortNumber(name);
    RegCloseKey(key);
    return number;
}

void AddDeviceMap(std::map<int, ComPort>* ports) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return;
    for (DWORD i = 0;; ++i) {
        char name[256] = {}, data[32] = {};
        DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
        const LONG r = RegEnumValueA(key, i, name, &nameSize, nullptr, &type,
                                     reinterpret_cast<BYTE*>(data), &dataSize);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS || type != REG_SZ) continue;
        if (const int n = ComPortNumber(data)) (*ports)[n].number = n;
    }
    RegCloseKey(key);
}

void AddPortsClass(std::map<int, ComPort>* ports) {
    const HDEVINFO set =
        SetupDiGetClassDevsA(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) return;
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &info); ++i) {
        const int n = DevicePortNumber(set, &info);
        if (!n) continue;
        ComPort& port = (*ports)[n];
        port.number = n;
        port.friendlyName = DeviceProperty(set, &info, SPDRP_FRIENDLYNAME);
        port.maker = DeviceProperty(set, &info, SPDRP_MFG);
        char enumerator[64] = {};
        port.usb = SetupDiGetDeviceRegistryPropertyA(set, &info, SPDRP_ENUMERATOR_NAME, nullptr,
                                                     reinterpret_cast<BYTE*>(enumerator),
                                                     sizeof enumerator - 1, nullptr) &&
                   _stricmp(enumerator, "USB") == 0;
    }
    SetupDiDestroyDeviceInfoList(set);
}

}  // namespace

int ComPortNumber(const char* text) {
    if (_strnicmp(text, "COM", 3) == 0) text += 3;
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    return *text && *end == '\0' && n >= 1 && n <= 255 ? static_cast<int>(n) : 0;
}

std::vector<ComPort> PresentComPorts() {
    std::map<int, ComPort> ports;
    AddDeviceMap(&ports);
    AddPortsClass(&ports);
    std::vector<ComPort> list;
    for (auto& [n, port] : ports) list.push_back(std::move(port));
    return list;
}

}  // namespace qs
