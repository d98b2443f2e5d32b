#include "port_name.h"

namespace qs {

// The \\.\ form reaches COM10 and above too; plain "COM10" would be taken as a file name.
std::string SerialDeviceForPort(int port) {
    return "\\\\.\\COM" + std::to_string(port);
}

}  // namespace qs
