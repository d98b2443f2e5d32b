#pragma once
#include <string>

namespace qs {

// The device behind port number n: "COMn" on Windows; on POSIX the path in environment
// variable COMn when set, else the port map's COMn entry (port_map.h), else /dev/ttyS(n-1).
// Empty for n < 1 on POSIX (there is no ttyS-1).
std::string SerialDeviceForPort(int port);

// The terminal's USB serial device: environment variable DRIFTBOX_USB when set, else the
// port map's USB entry, else the first /dev/ttyACM*. Empty when there is none.
std::string SerialDeviceForUsb();

// A device named on a command line: "COMn" (any case) and "USB" through the two functions
// above, any other text (a path) unchanged.
std::string SerialDeviceForName(const std::string& name);

}  // namespace qs
