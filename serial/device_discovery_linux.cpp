// Serial devices as udev and sysfs show them: /dev/serial/by-id holds one stable link per USB
// serial interface, /sys/class/tty/NAME/device leads to the USB device with its strings.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "device_discovery.h"

namespace qs {
namespace {

namespace fs = std::filesystem;

std::string ReadLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    return line;
}

// Maker and product of the USB device above a tty: its sysfs device link names the interface
// (ttyACM) or the usb-serial port below it (ttyUSB); the strings sit on the first ancestor
// that has a vendor id.
void ReadUsbStrings(const fs::path& sysRoot, const std::string& name, SerialDevice* d) {
    std::error_code ec;
    fs::path dir = fs::canonical(sysRoot / "class/tty" / name / "device", ec);
    if (ec) return;
    const fs::path top = fs::canonical(sysRoot, ec);
    for (int depth = 0; depth < 8 && !dir.empty() && dir != top && dir != dir.root_path();
         ++depth, dir = dir.parent_path()) {
        if (fs::exists(dir / "idVendor", ec)) {
            d->maker = ReadLine(dir / "manufacturer");
            d->product = ReadLine(dir / "product");
            return;
        }
    }
}

// The UART type the serial core reports for a ttyS port; 0 (unknown) for the placeholders the
// 8250 driver registers whether or not a chip is there.
bool HasUart(const fs::path& sysRoot, const std::string& name) {
    const std::string type = ReadLine(sysRoot / "class/tty" / name / "type");
    return !type.empty() && std::strtol(type.c_str(), nullptr, 10) != 0;
}

// ttyUSB2 before ttyUSB10.
bool NaturalLess(const std::string& a, const std::string& b) {
    const size_t da = a.find_last_not_of("0123456789") + 1;
    const size_t db = b.find_last_not_of("0123456789") + 1;
    if (a.compare(0, da, b, 0, db) != 0 || da == a.size() || db == b.size()) return a < b;
    return std::strtoul(a.c_str() + da, nullptr, 10) < std::strtoul(b.c_str() + db, nullptr, 10);
}

std::vector<std::string> NamesWithPrefix(const fs::path& dir, const std::string& prefix) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() > prefix.size() && name.rfind(prefix, 0) == 0) names.push_back(name);
    }
    std::sort(names.begin(), names.end(), NaturalLess);
    return names;
}

}  // namespace

std::vector<SerialDevice> DiscoverSerialDevices(const std::string& devRoot,
                                                const std::string& sysRoot) {
    std::vector<SerialDevice> out;
    auto known = [&](const std::string& node) {
        return std::any_of(out.begin(), out.end(), [&](const auto& d) { return d.node == node; });
    };
    std::error_code ec;
    const fs::path dev = fs::canonical(devRoot, ec);
    if (ec) return out;

    std::vector<std::string> ids;
    for (fs::directory_iterator it(dev / "serial/by-id", ec), end; !ec && it != end;
         it.increment(ec))
        ids.push_back(it->path().filename().string());
    std::sort(ids.begin(), ids.end());
    for (const auto& id : ids) {
        std::error_code e;
        const fs::path node = fs::canonical(dev / "serial/by-id" / id, e);
        if (e || known(node.string())) continue;
        SerialDevice d;
        d.path = (dev / "serial/by-id" / id).string();
        d.node = node.string();
        ReadUsbStrings(sysRoot, node.filename().string(), &d);
        out.push_back(std::move(d));
    }
    for (const char* prefix : {"ttyUSB", "ttyACM"}) {
        for (const auto& name : NamesWithPrefix(dev, prefix)) {
            const std::string node = (dev / name).string();
            if (known(node)) continue;
            SerialDevice d;
            d.path = d.node = node;
            ReadUsbStrings(sysRoot, name, &d);
            out.push_back(std::move(d));
        }
    }
    for (const auto& name : NamesWithPrefix(dev, "ttyS")) {
        if (!HasUart(sysRoot, name)) continue;
        SerialDevice d;
        d.path = d.node = (dev / name).string();
        out.push_back(std::move(d));
    }
    return out;
}

}  // namespace qs
