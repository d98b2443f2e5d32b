#pragma once
#include <termios.h>

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace qs {

using Clock = std::chrono::steady_clock;

// Milliseconds left until deadline, never negative.
int MsLeft(Clock::time_point deadline);

// Opens a tty for exclusive raw use. Returns the descriptor or -1 with errno set
// (EBUSY when another process holds the device).
int OpenTtyExclusive(const char* path);

// Releases what OpenTtyExclusive took and closes the descriptor.
void CloseTty(int fd);

// The termios speed constant for a baud rate; false when the platform has none.
bool BaudToSpeed(int baud, speed_t* speed);

// Waits until fd is readable, up to waitMs (negative: forever). 1 readable, 0 time-out,
// -1 error or hang-up with nothing to read. Retries EINTR against the same deadline.
int WaitReadable(int fd, int waitMs);

// Writes all n bytes before the deadline; false on error or time-out.
bool WriteAll(int fd, const uint8_t* data, size_t n, Clock::time_point deadline);

}  // namespace qs
