#include "CUartBasic_posix.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <new>
#include <string>
#include <thread>

#include "port_name.h"
#include "tty_posix.h"

namespace {

constexpr int kHighestPort = 255;

// After a failed transfer the caller usually retries at once; the pause keeps a dead port
// (unplugged adapter, hung-up line) from turning that into a busy loop.
void BackOffAfterFailure() {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

int OpenErrorCode(int err) {
    switch (err) {
        case ENOENT:
        case ENOTDIR:
        case ENXIO:
        case ENODEV:
            return IUartBasic::kNoSuchDevice;
        case EBUSY:
        case EACCES:
        case EPERM:
            return IUartBasic::kDeviceInUse;
        default:
            return IUartBasic::kOpenFailed;
    }
}

// A failed open leaves its reason in errno, set after the clean-up that could change it.
int OpenFailed(int code, int err) {
    errno = err;
    return code;
}

// Puts a line format into tio. Unlisted codes are the caller's mistake (-4); formats termios
// cannot express are the device refusing them (-22). Nothing is changed on failure.
int PutFormat(termios& tio, int baud, int byteSize, int parity, int stopBits) {
    tcflag_t parityBits = 0;
    switch (parity) {
        case 0:
            break;
        case 1:
            parityBits = PARENB | PARODD;
            break;
        case 2:
            parityBits = PARENB;
            break;
        default:
            return IUartBasic::kBadArgument;
    }
    tcflag_t stopBit = 0;
    switch (stopBits) {
        case 1:
            break;
        case 2:
            stopBit = CSTOPB;
            break;
        // termios has no 1.5 stop bits, and CSTOPB would silently send two.
        case 15:
            return IUartBasic::kFormatRefused;
        default:
            return IUartBasic::kBadArgument;
    }
    tcflag_t size = 0;
    switch (byteSize) {
        case 5:
            size = CS5;
            break;
        case 6:
            size = CS6;
            break;
        case 7:
            size = CS7;
            break;
        case 8:
            size = CS8;
            break;
        default:
            return IUartBasic::kFormatRefused;
    }
    speed_t speed{};
    if (!qs::BaudToSpeed(baud, &speed)) return IUartBasic::kFormatRefused;

    termios next = tio;
    next.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB);
    next.c_cflag |= size | parityBits | stopBit;
    if (cfsetispeed(&next, speed) != 0 || cfsetospeed(&next, speed) != 0)
        return IUartBasic::kFormatRefused;
    tio = next;
    return IUartBasic::kOk;
}

bool SameFormat(const termios& a, const termios& b) {
    constexpr tcflag_t kFormatBits = CSIZE | PARENB | PARODD | CSTOPB;
    return (a.c_cflag & kFormatBits) == (b.c_cflag & kFormatBits) &&
           cfgetispeed(&a) == cfgetispeed(&b) && cfgetospeed(&a) == cfgetospeed(&b);
}

// The state every open starts from: 9600 8N1, raw bytes both ways, no flow control.
termios DefaultState(const termios& found) {
    termios tio = found;
    // Bytes pass unchanged: no break/parity marking, no CR/NL mapping, no stripping to 7 bits,
    // no input parity check, and no XON/XOFF, which would eat 0x11/0x13 in binary data.
    tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                          ICRNL | INPCK | IXON | IXOFF | IXANY);
    // No output post-processing (NL to CR-NL and the like).
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    // No line editing, echo or signal characters: this is a data line, not a terminal.
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    // CLOCAL: ignore carrier detect, many devices never raise it. CREAD: enable the receiver.
    // No HUPCL: closing must not drop DTR behind the next user's back. No CRTSCTS: the line
    // has no hardware handshake by default and a missing CTS would stall every write.
    tio.c_cflag &= ~static_cast<tcflag_t>(HUPCL);
#ifdef CRTSCTS
    tio.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
#endif
    tio.c_cflag |= CLOCAL | CREAD;
    // Reads return what is there; the waiting is done by poll() with the caller's time-out.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    PutFormat(tio, 9600, 8, 0, 1);
    return tio;
}

// Reads what is available within waitMs (0 or more; -1 waits without limit).
// Returns the count, 0 on time-out, -1 on error or hang-up.
int ReadAvailable(int fd, uint8_t* buf, int n, int waitMs) {
    const int ready = qs::WaitReadable(fd, waitMs);
    if (ready <= 0) return ready;
    for (;;) {
        const ssize_t r = ::read(fd, buf, static_cast<size_t>(n));
        if (r > 0) return static_cast<int>(r);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 && errno == EAGAIN) return 0;
        // Readable yet nothing to read (or an error): the line was hung up. Reporting 0 here
        // would make a caller waiting for the full count spin forever.
        return -1;
    }
}

// One read step: what is there (timeoutMs 0), what comes first within timeoutMs (> 0), or
// all n bytes (-1). A failure after some bytes returns those bytes; they are in the buffer.
int ReadStep(int fd, uint8_t* buf, int n, int timeoutMs) {
    int got = 0;
    do {
        const int r = ReadAvailable(fd, buf + got, n - got, timeoutMs);
        if (r < 0) {
            BackOffAfterFailure();
            return got > 0 ? got : IUartBasic::kIoFailed;
        }
        got += r;
    } while (timeoutMs == -1 && got < n);
    return got;
}

}  // namespace

IUartBasic* CreateUartBasic(int* error) noexcept {
    int ignored = 0;
    int& slot = error ? *error : ignored;
    slot = IUartBasic::kOk;
    auto* uart = new (std::nothrow) CUartBasic_posix();
    if (!uart) slot = IUartBasic::kNoMemory;
    return uart;
}

CUartBasic_posix::~CUartBasic_posix() {
    Close();
}

void CUartBasic_posix::Release() noexcept {
    delete this;
}

int CUartBasic_posix::NoOp() noexcept {
    return kOk;
}

int CUartBasic_posix::OpenPort(int port, int baud, int byteSize, int parity,
                               int stopBits) noexcept {
    if (port > kHighestPort) return OpenFailed(kNoSuchDevice, ENOENT);
    if (m_fd.load() >= 0) return OpenFailed(kAlreadyOpen, EBUSY);
    try {
        const std::string device = qs::SerialDeviceForPort(port);
        if (device.empty()) return OpenFailed(kNoSuchDevice, ENOENT);
        return OpenDevice(device.c_str(), baud, byteSize, parity, stopBits);
    } catch (const std::bad_alloc&) {
        return OpenFailed(kOpenFailed, ENOMEM);
    }
}

int CUartBasic_posix::OpenDevice(const char* name, int baud, int byteSize, int parity,
                                 int stopBits) noexcept {
    if (!name || !*name) return OpenFailed(kBadArgument, ENOENT);
    if (m_fd.load() >= 0) return OpenFailed(kAlreadyOpen, EBUSY);

    const int fd = qs::OpenTtyExclusive(name);
    if (fd < 0) return OpenFailed(OpenErrorCode(errno), errno);
    if (::tcgetattr(fd, &m_saved) != 0) {
        const int err = errno;
        qs::CloseTty(fd);
        return OpenFailed(kIoFailed, err);
    }
    const termios defaults = DefaultState(m_saved);
    if (::tcsetattr(fd, TCSANOW, &defaults) != 0) {
        const int err = errno;
        ::tcsetattr(fd, TCSANOW, &m_saved);
        qs::CloseTty(fd);
        return OpenFailed(kIoFailed, err);
    }
    // DTR and RTS up tell the far end we are there. Ptys and some adapters have no modem
    // lines, so a refusal is not an error.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd, TIOCMBIS, &lines);
    m_fd.store(fd);

    errno = 0;
    const int rc = SetFormat(baud, byteSize, parity, stopBits);
    if (rc == kOk) return rc;
    // A format refused or not listed has no system error of its own.
    const int err = rc == kIoFailed && errno ? errno : EINVAL;
    Close();
    return OpenFailed(rc, err);
}

void CUartBasic_posix::Close() noexcept {
    const int fd = m_fd.exchange(-1);
    if (fd < 0) return;
    // TCSADRAIN: bytes still in the output queue go out in the format they were written in.
    ::tcsetattr(fd, TCSADRAIN, &m_saved);
    qs::CloseTty(fd);
}

int CUartBasic_posix::SetFormat(int baud, int byteSize, int parity, int stopBits) noexcept {
    const int fd = m_fd.load();
    if (fd < 0) return kNotOpen;
    termios current{};
    if (::tcgetattr(fd, &current) != 0) return kIoFailed;
    termios wanted = current;
    if (const int rc = PutFormat(wanted, baud, byteSize, parity, stopBits); rc != kOk) return rc;
    if (::tcsetattr(fd, TCSANOW, &wanted) != 0) return kFormatRefused;
    // tcsetattr succeeds when any part of the request was taken; read it back to know.
    termios applied{};
    if (::tcgetattr(fd, &applied) != 0 || !SameFormat(applied, wanted)) {
        ::tcsetattr(fd, TCSANOW, &current);
        return kFormatRefused;
    }
    return kOk;
}

int CUartBasic_posix::Write(const void* data, int length) noexcept {
    const int fd = m_fd.load();
    if (fd < 0) return kNotOpen;
    if (!data || length < 0) return kBadArgument;
    if (length == 0) return kOk;
    // Writes have no time-out: the longest wait the deadline helper can express stands in
    // for "until done".
    const auto deadline = qs::Clock::now() + std::chrono::milliseconds(INT_MAX);
    if (qs::WriteAll(fd, static_cast<const uint8_t*>(data), static_cast<size_t>(length), deadline))
        return kOk;
    BackOffAfterFailure();
    return kIoFailed;
}

int CUartBasic_posix::Read(void* buffer, int length, int timeoutMs) noexcept {
    const int fd = m_fd.load();
    if (fd < 0) return kNotOpen;
    const bool single = length < 0;
    // -INT_MIN is not an int; the largest count an int holds stands in for it.
    const int count = !single ? length : (length == INT_MIN ? INT_MAX : -length);
    if (!buffer || timeoutMs < -1) return kBadArgument;
    if (count == 0) return 0;

    auto* bytes = static_cast<uint8_t*>(buffer);
    if (single) return ReadStep(fd, bytes, count, timeoutMs);
    int sum = 0;
    while (sum < count) {
        const int got = ReadStep(fd, bytes + sum, count - sum, timeoutMs);
        // Bytes gathered by earlier steps are already in the caller's buffer: report them
        // rather than an error that would make the caller drop them.
        if (got < 0) return sum > 0 ? sum : got;
        if (got == 0) break;
        sum += got;
        if (timeoutMs <= 0) break;
    }
    return sum;
}

bool CUartBasic_posix::HasInput() noexcept {
    const int fd = m_fd.load();
    if (fd < 0) return false;
    int queued = 0;
    return ::ioctl(fd, FIONREAD, &queued) == 0 && queued > 0;
}
