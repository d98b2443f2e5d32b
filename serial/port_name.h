#pragma once
#include <string>

namespace qs {

// The device behind port number n: "COMn" on Windows; on POSIX the path in environment
// variable COMn when set, else /dev/ttyS(n-1). Empty for n < 1 on POSIX (there is no ttyS-1).
std::string SerialDeviceForPort(int port);

}  // namespace qs
