#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <thread>

#include "serial_port.h"
#include "tty_posix.h"

namespace zot {
namespace {

class CPosixSerialPort final : public ISerialPort {
  public:
    CPosixSerialPort(int fd, qs::LowLatency lowLatency) : m_fd(fd), m_lowLatency(lowLatency) {}
    ~CPosixSerialPort() override { qs::CloseTty(m_fd, &m_lowLatency); }
    CPosixSerialPort(const CPosixSerialPort&) = delete;
    CPosixSerialPort& operator=(const CPosixSerialPort&) = delete;

    size_t Read(uint8_t* buffer, size_t max, int waitMs) override {
        if (max == 0) return 0;
        bool announced = false;  // poll said there is something to read
        for (;;) {
            const ssize_t n = ::read(m_fd, buffer, max);
            if (n > 0) return static_cast<size_t>(n);
            if (n < 0 && errno == EINTR) continue;
            // A non-blocking tty with nothing waiting says EAGAIN; an error, or end of file
            // on a line that polls readable, means the device hung up or went away.
            if ((n < 0 && errno != EAGAIN) || (n == 0 && announced)) break;
            const int r = qs::WaitReadable(m_fd, waitMs);
            if (r == 0) return 0;
            if (r < 0) break;
            announced = true;
        }
        // A dead descriptor polls readable for ever; wait out the time as silence would, so
        // the reader neither spins nor misses its stop flag.
        m_gone.store(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(waitMs > 0 ? waitMs : 1));
        return 0;
    }

    bool Write(const uint8_t* data, size_t length) override {
        const auto deadline =
            qs::Clock::now() + std::chrono::milliseconds(1000 + 10 * static_cast<int64_t>(length));
        if (qs::WriteAll(m_fd, data, length, deadline)) return true;
        if (errno == EIO || errno == ENXIO || errno == ENODEV || errno == EPIPE) m_gone.store(true);
        return false;
    }

    bool Gone() const override { return m_gone.load(); }

    bool Purge() override { return ::tcflush(m_fd, TCIOFLUSH) == 0; }

  private:
    int m_fd;
    qs::LowLatency m_lowLatency;
    std::atomic<bool> m_gone{false};
};

}  // namespace

std::unique_ptr<ISerialPort> OpenSerialPort(const std::string& device, int baud, int* error) {
    *error = 0;
    if (device.empty()) {
        *error = ENOENT;
        return nullptr;
    }
    qs::LowLatency lowLatency;
    const int fd = qs::OpenTtyExclusive(device.c_str(), &lowLatency);
    if (fd < 0) {
        *error = errno;
        return nullptr;
    }
    if (qs::SetRawMode(fd, qs::LineFormat{.baud = baud}) != qs::RawModeResult::kSet ||
        ::tcflush(fd, TCIOFLUSH) != 0) {
        *error = errno;
        qs::CloseTty(fd, &lowLatency);
        return nullptr;
    }
    return std::make_unique<CPosixSerialPort>(fd, lowLatency);
}

}  // namespace zot
