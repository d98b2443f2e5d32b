#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include "serial_port.h"
#include "tty_posix.h"

namespace zot {
namespace {

class CPosixSerialPort final : public ISerialPort {
  public:
    CPosixSerialPort(int fd, qs::LowLatency lowLatency) : m_fd(fd), m_lowLatency(lowLatency) {
        if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) m_wake[0] = m_wake[1] = -1;
    }
    ~CPosixSerialPort() override {
        qs::CloseTty(m_fd, &m_lowLatency);
        for (const int fd : m_wake)
            if (fd >= 0) ::close(fd);
    }
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
            const int r = WaitReadable(waitMs);
            if (r == 0 || Interrupted()) return 0;
            if (r < 0) break;
            announced = true;
        }
        // A dead descriptor polls readable for ever; wait out the time as silence would, so
        // the reader neither spins nor misses its stop flag.
        m_gone.store(true);
        if (!Interrupted()) WaitWake(waitMs > 0 ? waitMs : 1);
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

    void Interrupt() override {
        m_interrupted.store(true);
        if (m_wake[1] >= 0) (void)!::write(m_wake[1], "", 1);
    }

  private:
    bool Interrupted() const { return m_interrupted.load(); }

    // 1 readable, 0 time-out or interrupted, -1 hung up.
    int WaitReadable(int waitMs) {
        if (m_wake[0] < 0) return qs::WaitReadable(m_fd, waitMs);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        for (;;) {
            pollfd p[2] = {{m_fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            const int r = ::poll(
                p, 2, waitMs < 0 ? -1 : static_cast<int>(std::max<int64_t>(0, left.count())));
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) return -1;
            if (r == 0 || p[1].revents) return 0;
            return (p[0].revents & POLLIN) ? 1 : -1;
        }
    }

    void WaitWake(int waitMs) {
        if (m_wake[0] < 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
            return;
        }
        pollfd p{m_wake[0], POLLIN, 0};
        while (::poll(&p, 1, waitMs) < 0 && errno == EINTR) {
        }
    }

    int m_fd;
    qs::LowLatency m_lowLatency;
    std::atomic<bool> m_gone{false};
    std::atomic<bool> m_interrupted{false};
    int m_wake[2] = {-1, -1};  // written once by Interrupt(), never drained
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
