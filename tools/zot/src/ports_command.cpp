#include "ports_command.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "commands.h"
#include "device_discovery.h"
#include "port_map.h"
#include "port_name.h"

namespace zotcli {
namespace {

// "1", "COM1" or "com1" to "COM1"; "usb" to "USB"; empty when it names no port.
std::string PortName(const std::string& text) {
    if (text == "USB" || text == "usb") return "USB";
    const int n = ComPortNumber(
        text.compare(0, 3, "COM") == 0 || text.compare(0, 3, "com") == 0 ? text : "COM" + text);
    return n ? "COM" + std::to_string(n) : std::string();
}

// "/dev/ttyUSB0 FTDI FT232R USB UART" for a device present now, "(none)" for one that is not.
std::string Presence(const std::vector<qs::SerialDevice>& devices, const std::string& device) {
    if (const qs::SerialDevice* d = qs::FindSerialDevice(devices, device)) {
        const std::string text = d->Description();
        if (text.empty()) return d->node == device ? "" : "(" + d->node + ")";
        return "(" + d->node + " - " + text + ")";
    }
    std::error_code ec;
    return std::filesystem::exists(device, ec) ? "" : "(none)";
}

int Show() {
    const auto devices = qs::DiscoverSerialDevices();
    std::printf("devices present:\n");
    if (devices.empty()) std::printf("  none found\n");
    for (const auto& d : devices) {
        const std::string text = d.Description();
        std::printf("  %s", d.path.c_str());
        if (d.path != d.node) std::printf("  -> %s", d.node.c_str());
        if (!text.empty()) std::printf("  %s", text.c_str());
        std::printf("\n");
    }

    const std::string path = qs::PortMapPath();
    qs::CPortMap map;
    std::string error;
    if (!map.Load(path, &error)) Fail(error);
    std::printf("\nports (map: %s):\n", path.empty() ? "none, HOME is not set" : path.c_str());
    // The first four ports and USB always, then any other port the user has bound.
    std::vector<std::string> names = {"USB", "COM1", "COM2", "COM3", "COM4"};
    for (int n = 5; n <= 255; ++n) {
        const std::string name = "COM" + std::to_string(n);
        if (!map.Device(name).empty() || std::getenv(name.c_str())) names.push_back(name);
    }
    for (const auto& name : names) {
        std::string source = "default";
        if (const char* env = std::getenv(qs::PortVariable(name).c_str()); env && *env)
            source = "environment " + qs::PortVariable(name);
        else if (!map.Device(name).empty())
            source = "map";
        const std::string device = name == "USB"
                                       ? qs::SerialDeviceForUsb()
                                       : qs::SerialDeviceForPort(std::stoi(name.substr(3)));
        if (device.empty()) {
            std::printf("  %-5s (none)\n", name.c_str());
            continue;
        }
        std::printf("  %-5s %s  [%s] %s\n", name.c_str(), device.c_str(), source.c_str(),
                    Presence(devices, device).c_str());
    }
    return kExitOk;
}

int Edit(const std::string& port, const std::string& device) {
    std::string error;
    if (!qs::EditPortMap({{port, device}}, &error)) {
        Fail(error);
        return kExitFailed;
    }
    const std::string shown = device.empty() ? "its default" : device;
    std::printf("%s is now %s (%s)\n", port.c_str(), shown.c_str(), qs::PortMapPath().c_str());
    if (const char* env = std::getenv(qs::PortVariable(port).c_str()); env && *env)
        Fail("note: environment variable " + qs::PortVariable(port) +
             " is set and wins over the map");
    std::error_code ec;
    if (!device.empty() && !std::filesystem::exists(device, ec))
        Fail("note: " + device + " is not there now");
    return kExitOk;
}

}  // namespace

int Ports(const Options& o) {
    const auto& a = o.args;
    if (a.empty()) return Show();
    const std::string verb = a[0];
    if ((verb == "set" && a.size() == 3) || (verb == "unset" && a.size() == 2)) {
        const std::string port = PortName(a[1]);
        if (port.empty()) {
            Fail("ports " + verb + ": " + a[1] +
                 " is not a port (a number from 1 to 255, COMn or USB)");
            return kExitUsage;
        }
        if (verb == "unset") return Edit(port, "");
        if (a[2].empty() || a[2][0] != '/') {
            Fail("ports set: the device must be an absolute path such as /dev/ttyUSB0");
            return kExitUsage;
        }
        return Edit(port, a[2]);
    }
    Fail("ports takes no arguments, \"set N DEVICE\" or \"unset N\"");
    return kExitUsage;
}

}  // namespace zotcli
