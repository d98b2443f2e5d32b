// Discovery over a fake /dev and /sys built in a temporary folder the way udev and the kernel
// lay them out.
#include "device_discovery.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

void Put(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text << "\n";
}

void Link(const fs::path& link, const std::string& target) {
    fs::create_directories(link.parent_path());
    fs::create_symlink(target, link);
}

TEST(DeviceDiscovery, ListsAdaptersWithTheirNamesThenRealUarts) {
    char pattern[] = "/tmp/discovery-XXXXXX";
    const fs::path root = ::mkdtemp(pattern);
    const fs::path dev = root / "dev", sys = root / "sys";
    for (const char* n : {"ttyUSB0", "ttyUSB2", "ttyUSB10", "ttyACM0", "ttyS0", "ttyS1", "tty1"})
        Put(dev / n, "");
    Link(dev / "serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0", "../../ttyUSB0");
    const fs::path ftdi = sys / "devices/pci0/usb1/1-1";
    Put(ftdi / "idVendor", "0403");
    Put(ftdi / "manufacturer", "FTDI");
    Put(ftdi / "product", "FT232R USB UART");
    fs::create_directories(ftdi / "1-1:1.0/ttyUSB0");
    Link(sys / "class/tty/ttyUSB0/device", "../../../devices/pci0/usb1/1-1/1-1:1.0/ttyUSB0");
    const fs::path cradle = sys / "devices/pci0/usb1/1-2";
    Put(cradle / "idVendor", "1a2b");
    Put(cradle / "manufacturer", "Corvale");
    Put(cradle / "product", "Cradle");
    fs::create_directories(cradle / "1-2:1.0");
    Link(sys / "class/tty/ttyACM0/device", "../../../devices/pci0/usb1/1-2/1-2:1.0");
    Put(sys / "class/tty/ttyS0/type", "4");  // a 16550A
    Put(sys / "class/tty/ttyS1/type", "0");  // a placeholder with no chip behind it

    const auto found = qs::DiscoverSerialDevices(dev.string(), sys.string());
    ASSERT_EQ(found.size(), 5u);
    EXPECT_EQ(found[0].path,
              (dev / "serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0").string());
    EXPECT_EQ(found[0].node, (dev / "ttyUSB0").string());
    EXPECT_EQ(found[0].Description(), "FTDI FT232R USB UART");
    EXPECT_EQ(found[1].path, (dev / "ttyUSB2").string());
    EXPECT_EQ(found[1].Description(), "");
    EXPECT_EQ(found[2].path, (dev / "ttyUSB10").string());
    EXPECT_EQ(found[3].path, (dev / "ttyACM0").string());
    EXPECT_EQ(found[3].Description(), "Corvale Cradle");
    EXPECT_EQ(found[4].path, (dev / "ttyS0").string());

    // A map entry naming the node finds the adapter listed under its stable link.
    EXPECT_EQ(qs::FindSerialDevice(found, (dev / "ttyUSB0").string()), &found[0]);
    EXPECT_EQ(qs::FindSerialDevice(found, (dev / "ttyS1").string()), nullptr);
    fs::remove_all(root);
}

}  // namespace
