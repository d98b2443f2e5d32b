#pragma once
#include <string>

namespace driftbox {

// The serial device of the terminal's USB connection (port 0): the one named by DRIFTBOX_USB,
// else the first USB serial port the system reports; empty when there is none.
std::string UsbSerialDevice();

}  // namespace driftbox
