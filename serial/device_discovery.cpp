#include "device_discovery.h"

#include <filesystem>
#include <system_error>

namespace qs {

std::string SerialDevice::Description() const {
    // Many adapters repeat their maker at the start of the product string.
    if (maker.empty() || product.rfind(maker, 0) == 0) return product;
    if (product.empty()) return maker;
    return maker + " " + product;
}

const SerialDevice* FindSerialDevice(const std::vector<SerialDevice>& devices,
                                     const std::string& device) {
    if (device.empty()) return nullptr;
    std::error_code ec;
    const std::string real = std::filesystem::canonical(device, ec).string();
    for (const auto& d : devices)
        if (d.path == device || d.node == device || (!ec && d.node == real)) return &d;
    return nullptr;
}

std::vector<SerialDevice> DiscoverSerialDevices() {
    return DiscoverSerialDevices("/dev", "/sys");
}

}  // namespace qs
