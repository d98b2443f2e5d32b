#pragma once
// Win32 serial helpers shared by the libraries: exclusive overlapped open, the raw line set-up
// (raw_mode_win32.cpp), and the one read function behind every timed read.
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "line_format.h"

namespace qs {

// An OVERLAPPED record with a manual-reset event of its own, for one direction of I/O.
class CommOverlapped {
  public:
    CommOverlapped();
    ~CommOverlapped();
    CommOverlapped(const CommOverlapped&) = delete;
    CommOverlapped& operator=(const CommOverlapped&) = delete;
    bool ok() const { return m_ov.hEvent != nullptr; }
    // The record, cleared for the next request; its event is kept.
    OVERLAPPED* Fresh();

  private:
    OVERLAPPED m_ov{};
};

// Opens a device such as "\\.\COM3" for exclusive read/write with overlapped I/O.
// INVALID_HANDLE_VALUE on failure, GetLastError() telling why.
HANDLE OpenComm(const char* device);

// Puts the port into raw mode in format: no flow control of any kind, DTR and RTS raised,
// every byte passed through (binary, no parity check, no error or NUL replacement, no abort
// on error). A refusal leaves GetLastError() saying why.
RawModeResult SetRawMode(HANDLE port, const LineFormat& format);

// Bytes waiting in the driver's input queue, or -1 when ClearCommError fails. Clears the
// port's error state as a side effect.
long InputQueued(HANDLE port);

// Reads into buffer, in one of three modes chosen by waitMs:
//   0   returns at once with whatever is buffered (up to n bytes);
//   > 0 returns at once when bytes wait, else waits up to waitMs for the first byte and
//       returns it with whatever came along with it;
//   -1  waits for the full count.
// Returns the count (0 on time-out) or -1 when a Win32 call failed.
long CommRead(HANDLE port, CommOverlapped& ov, uint8_t* buffer, size_t n, int waitMs);

// Writes n bytes and waits for the write to complete or time out (the port's write time-outs).
// Returns the bytes written, or -1 when a Win32 call failed.
long CommWrite(HANDLE port, CommOverlapped& ov, const uint8_t* data, size_t n);

}  // namespace qs
