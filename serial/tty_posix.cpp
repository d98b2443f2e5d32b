#include "tty_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace qs {

int MsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

int OpenTtyExclusive(const char* path, LowLatency* lowLatency) {
    // O_NOCTTY: a serial line must never become our controlling terminal.
    // O_NONBLOCK: open must not wait for carrier detect; reads are paced by poll().
    // O_CLOEXEC: child processes must not inherit (and hold) the port.
    const int fd = ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    if (!::isatty(fd)) {
        ::close(fd);
        errno = ENOTTY;
        return -1;
    }
    // flock keeps out cooperating programs (and ourselves: the lock is per open file);
    // TIOCEXCL makes the kernel refuse any further open of the tty by non-root processes.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        errno = e;
        return -1;
    }
    ::ioctl(fd, TIOCEXCL);
    if (lowLatency) SetLowLatency(fd, lowLatency);
    return fd;
}

void CloseTty(int fd, LowLatency* lowLatency) {
    if (fd < 0) return;
    if (lowLatency) RestoreLowLatency(fd, lowLatency);
    ::ioctl(fd, TIOCNXCL);
    ::flock(fd, LOCK_UN);
    ::close(fd);
}

bool BaudToSpeed(int baud, speed_t* speed) {
    struct Entry {
        int baud;
        speed_t speed;
    };
    static constexpr Entry kTable[] = {
        {50, B50},         {75, B75},         {110, B110},       {134, B134},     {150, B150},
        {200, B200},       {300, B300},       {600, B600},       {1200, B1200},   {1800, B1800},
        {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200}, {38400, B38400},
        {57600, B57600},   {115200, B115200}, {230400, B230400},
#ifdef B460800
        {460800, B460800}, {921600, B921600},
#endif
    };
    for (const auto& e : kTable) {
        if (e.baud == baud) {
            *speed = e.speed;
            return true;
        }
    }
    return false;
}

int WaitReadable(int fd, int waitMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs < 0 ? 0 : waitMs);
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, waitMs < 0 ? -1 : MsLeft(deadline));
        if (r < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (r == 0) return 0;
        if (p.revents & POLLIN) return 1;
        return -1;  // POLLHUP/POLLERR/POLLNVAL with nothing to read
    }
}

bool WriteAll(int fd, const uint8_t* data, size_t n, Clock::time_point deadline) {
    size_t done = 0;
    while (done < n) {
        const ssize_t w = ::write(fd, data + done, n - done);
        if (w > 0) {
            done += static_cast<size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && errno != EAGAIN) return false;
        pollfd p{fd, POLLOUT, 0};
        const int left = MsLeft(deadline);
        if (left == 0) return false;
        const int r = ::poll(&p, 1, left);
        if (r < 0 && errno != EINTR) return false;
        if (r > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL))) return false;
    }
    return true;
}

}  // namespace qs
