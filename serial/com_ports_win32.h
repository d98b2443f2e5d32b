#pragma once
// The COM ports Windows knows of, for the port lookups and the device lists.
#include <string>
#include <vector>

namespace qs {

struct ComPort {
    int number = 0;
    std::string friendlyName;  // as Device Manager shows it, "USB Serial Port (COM7)"; may be empty
    std::string maker;         // the driver's manufacturer; may be empty
    bool usb = false;          // a USB bus enumerated it
};

// "7" or "COM7" (any case) as a port number; 0 when the text is neither.
int ComPortNumber(const char* text);

// The ports present, by number: every port the serial device map names (a driver made it),
// with what SetupAPI's ports class tells of those it enumerated.
std::vector<ComPort> PresentComPorts();

}  // namespace qs
