#pragma once
#include <termios.h>

#include <chrono>
#include <cstddef>
#include <cstdint>

#include "line_format.h"
#include "low_latency.h"

namespace qs {

using Clock = std::chrono::steady_clock;

// Milliseconds left until deadline, never negative.
int MsLeft(Clock::time_point deadline);

// Opens a tty for exclusive raw use. Returns the descriptor or -1 with errno set
// (EBUSY when another process holds the device). With lowLatency, asks the driver for
// low-latency mode and records there what CloseTty is to undo; null leaves the driver alone
// (an open that lets go at once).
int OpenTtyExclusive(const char* path, LowLatency* lowLatency);

// Puts back what OpenTtyExclusive changed (the same lowLatency, or null), releases what it
// took and closes the descriptor.
void CloseTty(int fd, LowLatency* lowLatency);

// Puts the tty into raw mode in format: bytes pass unchanged both ways, no flow control,
// modem lines ignored, DTR kept up on close, reads return at once (VMIN = VTIME = 0: the
// caller waits with poll()). Anything not set exactly, read back, is refused and the
// settings go back to what they were. Failure leaves errno saying why (EINVAL for a format
// the port cannot do).
RawModeResult SetRawMode(int fd, const LineFormat& format);

// The termios speed constant for a baud rate; false when the platform has none.
bool BaudToSpeed(int baud, speed_t* speed);

// Waits until fd is readable, up to waitMs (negative: forever). 1 readable, 0 time-out,
// -1 error or hang-up with nothing to read. Retries EINTR against the same deadline.
int WaitReadable(int fd, int waitMs);

// Writes all n bytes before the deadline; false on error or time-out.
bool WriteAll(int fd, const uint8_t* data, size_t n, Clock::time_point deadline);

}  // namespace qs
