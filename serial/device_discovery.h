#pragma once
#include <string>
#include <vector>

namespace qs {

// A serial device present on this machine.
struct SerialDevice {
    std::string path;     // what to keep in the port map: the stable /dev/serial/by-id link
                          // when the device has one, else the device node
    std::string node;     // the device node it is now, such as /dev/ttyUSB0
    std::string maker;    // the USB adapter's manufacturer string, empty when unknown
    std::string product;  // the USB adapter's product string, empty when unknown
    // "maker product" for a person to recognise the adapter by; empty when both are unknown.
    std::string Description() const;
};

// The serial devices present now, in this order: USB adapters that have a /dev/serial/by-id
// link (with maker and product from sysfs), other /dev/ttyUSB* and /dev/ttyACM*, then the
// /dev/ttyS* ports whose driver reports a UART behind them. Each device once. Empty where the
// system offers no such view (not Linux).
std::vector<SerialDevice> DiscoverSerialDevices();

// The same with /dev and /sys taken from other folders, so that a fake tree can stand in.
std::vector<SerialDevice> DiscoverSerialDevices(const std::string& devRoot,
                                                const std::string& sysRoot);

// The discovered device whose path or node is device (a by-id link also matches the node it
// points to), or null.
const SerialDevice* FindSerialDevice(const std::vector<SerialDevice>& devices,
                                     const std::string& device);

}  // namespace qs
