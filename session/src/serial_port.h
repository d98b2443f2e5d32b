#pragma once
// The few serial-port operations the link needs, one implementation per OS.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace zot {

class ISerialPort {
  public:
    virtual ~ISerialPort() = default;
    // Returns at once with what is waiting (up to max); with nothing waiting, waits up to
    // waitMs for the first byte. 0 on time-out. A port that failed outright (device gone)
    // also gives 0, after waiting, so a reader polling it does not spin.
    virtual size_t Read(uint8_t* buffer, size_t max, int waitMs) = 0;
    // Writes every byte or fails; gives up after 10 ms a byte plus 1000 ms.
    virtual bool Write(const uint8_t* data, size_t length) = 0;
    // Discards pending input and output.
    virtual bool Purge() = 0;
    // The device went away (unplugged, or the other end of a pseudo-terminal closed): every
    // later read or write fails. Set by the read or write that found out.
    virtual bool Gone() const { return false; }
    // Makes a read in progress, and every later one, return at once: the port is about to be
    // closed, and the program that needs the line next should not wait out a read.
    virtual void Interrupt() {}
};

// Opens device for exclusive use at baud, 8N1, no flow control, raw. Null on failure, with
// *error the system's code for why (errno, or GetLastError() on Windows; see system_error.h).
std::unique_ptr<ISerialPort> OpenSerialPort(const std::string& device, int baud, int* error);

}  // namespace zot
