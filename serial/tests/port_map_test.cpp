// The port map against real files in a temporary configuration folder.
#include "port_map.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "port_name.h"

namespace {

namespace fs = std::filesystem;

class PortMapTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/portmap-XXXXXX";
        m_dir = ::mkdtemp(pattern);
        ::setenv("XDG_CONFIG_HOME", m_dir.c_str(), 1);
        for (const char* v : {"COM1", "COM2", "COM3", "DRIFTBOX_USB"}) ::unsetenv(v);
    }
    void TearDown() override {
        ::unsetenv("XDG_CONFIG_HOME");
        fs::remove_all(m_dir);
    }
    void Write(const std::string& text) {
        fs::create_directories(m_dir + "/Corvale");
        std::ofstream(m_dir + "/Corvale/ports.conf") << text;
    }
    std::string Read() {
        std::ifstream in(m_dir + "/Corvale/ports.conf");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string m_dir;
};

TEST_F(PortMapTest, PortResolvesEnvironmentThenMapThenTtyS) {
    EXPECT_EQ(qs::PortMapPath(), m_dir + "/Corvale/ports.conf");
    Write("[Ports]\ncom1 = \"/dev/serial/by-id/usb-A\"\nUSB=/dev/ttyUSB3\n");
    EXPECT_EQ(qs::SerialDeviceForPort(1), "/dev/serial/by-id/usb-A");
    EXPECT_EQ(qs::SerialDeviceForPort(2), "/dev/ttyS1");
    EXPECT_EQ(qs::SerialDeviceForUsb(), "/dev/ttyUSB3");
    ::setenv("COM1", "/tmp/from-env", 1);
    ::setenv("DRIFTBOX_USB", "/tmp/usb-from-env", 1);
    EXPECT_EQ(qs::SerialDeviceForPort(1), "/tmp/from-env");
    EXPECT_EQ(qs::SerialDeviceForUsb(), "/tmp/usb-from-env");
}

TEST_F(PortMapTest, EditingKeepsEveryOtherLine) {
    const std::string before =
        "; mine\n"
        "[General]\n"
        "COM2=/not/a/port\n"
        "\n"
        "[Ports]\n"
        "COM1=/dev/ttyS0\n"
        "COM3=/dev/ttyUSB9\n"
        "Extra=kept\n"
        "\n"
        "[Other]\n"
        "x=1\n";
    Write(before);
    ASSERT_TRUE(
        qs::EditPortMap({{"COM1", "/dev/ttyUSB0"}, {"com3", ""}, {"COM2", "/dev/ttyACM0"}}));
    EXPECT_EQ(Read(),
              "; mine\n"
              "[General]\n"
              "COM2=/not/a/port\n"
              "\n"
              "[Ports]\n"
              "COM1=/dev/ttyUSB0\n"
              "Extra=kept\n"
              "COM2=/dev/ttyACM0\n"
              "\n"
              "[Other]\n"
              "x=1\n");
    qs::CPortMap map;
    ASSERT_TRUE(map.Load(qs::PortMapPath()));
    const std::vector<std::pair<std::string, std::string>> entries = {
        {"COM1", "/dev/ttyUSB0"}, {"EXTRA", "kept"}, {"COM2", "/dev/ttyACM0"}};
    EXPECT_EQ(map.Entries(), entries);
}

TEST_F(PortMapTest, FirstEditCreatesTheFileAndItsFolder) {
    ASSERT_TRUE(qs::EditPortMap({{"USB", "/dev/ttyACM1"}}));
    EXPECT_EQ(Read(), "[Ports]\nUSB=/dev/ttyACM1\n");
}

TEST_F(PortMapTest, RefusesBindingsThatWouldNotReadBack) {
    Write("[Ports]\nCOM1=/dev/ttyS0\n");
    std::string error;
    EXPECT_FALSE(qs::EditPortMap({{"COM1", "ttyUSB0"}}, &error));
    EXPECT_NE(error.find("absolute"), std::string::npos) << error;
    EXPECT_FALSE(qs::EditPortMap({{"COM1", "/dev/tty\nUSB=/x"}}));
    EXPECT_FALSE(qs::EditPortMap({{"COM 1", "/dev/ttyUSB0"}}));
    EXPECT_EQ(Read(), "[Ports]\nCOM1=/dev/ttyS0\n");
}

TEST_F(PortMapTest, SaveThatCannotWriteSaysWhy) {
    std::ofstream(m_dir + "/file") << "x";
    ::setenv("XDG_CONFIG_HOME", (m_dir + "/file").c_str(), 1);
    std::string error;
    EXPECT_FALSE(qs::EditPortMap({{"COM1", "/dev/ttyUSB0"}}, &error));
    EXPECT_NE(error.find(m_dir + "/file"), std::string::npos) << error;
}

}  // namespace
