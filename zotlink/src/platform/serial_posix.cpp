#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "platform/serial_port.h"
#include "tty_posix.h"

namespace zot {
namespace {

class CPosixSerialPort final : public ISerialPort {
  public:
    explicit CPosixSerialPort(int fd) : m_fd(fd) {}
    ~CPosixSerialPort() override { qs::CloseTty(m_fd); }

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
        std::this_thread::sleep_for(std::chrono::milliseconds(waitMs > 0 ? waitMs : 1));
        return 0;
    }

    bool Write(const uint8_t* data, size_t length) override {
        const auto deadline =
            qs::Clock::now() + std::chrono::milliseconds(1000 + 10 * static_cast<int64_t>(length));
        return qs::WriteAll(m_fd, data, length, deadline);
    }

    bool Purge() override { return ::tcflush(m_fd, TCIOFLUSH) == 0; }

  private:
    int m_fd;
};

bool ConfigureRaw(int fd, int baud) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return false;
    speed_t speed;
    if (!qs::BaudToSpeed(baud, &speed)) return false;
    ::cfmakeraw(&t);
    // CLOCAL: ignore modem lines, the cable has none worth waiting for; CREAD: receive.
    t.c_cflag |= CLOCAL | CREAD;
    // No HUPCL: closing must not drop DTR, which resets some terminals' USB bridges.
    t.c_cflag &= ~(HUPCL | CSTOPB | PARENB | CSIZE | CRTSCTS);
    t.c_cflag |= CS8;
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    // Reads are paced by poll(), never by the driver.
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0) return false;
    return ::tcsetattr(fd, TCSANOW, &t) == 0;
}

}  // namespace

std::unique_ptr<ISerialPort> OpenSerialPort(const std::string& device, int baud, int* error) {
    *error = 0;
    if (device.empty()) {
        *error = ENOENT;
        return nullptr;
    }
    const int fd = qs::OpenTtyExclusive(device.c_str());
    if (fd < 0) {
        *error = errno;
        return nullptr;
    }
    // A speed termios has no constant for fails without a system error of its own.
    errno = 0;
    if (!ConfigureRaw(fd, baud) || ::tcflush(fd, TCIOFLUSH) != 0) {
        *error = errno ? errno : EINVAL;
        qs::CloseTty(fd);
        return nullptr;
    }
    return std::make_unique<CPosixSerialPort>(fd);
}

}  // namespace zot
