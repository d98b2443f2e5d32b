#pragma once
// A serial line's format, and what putting a port into raw mode with it came to. The raw
// set-up itself is one function per OS: SetRawMode in tty_posix.h and comm_win32.h.

namespace qs {

enum class Parity { kNone, kOdd, kEven };
enum class StopBits { kOne, kOneAndAHalf, kTwo };

struct LineFormat {
    int baud = 9600;
    int dataBits = 8;
    Parity parity = Parity::kNone;
    StopBits stopBits = StopBits::kOne;
};

enum class RawModeResult {
    kSet,      // the port runs raw in exactly that format
    kRefused,  // the port cannot do the format; its settings are as they were
    kFailed,   // the port's settings could not be read
};

}  // namespace qs
