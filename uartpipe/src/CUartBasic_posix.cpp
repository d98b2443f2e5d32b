#include "CUartBasic_posix.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <new>
#include <string>
#include <thread>

#include "line_format_codes.h"
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

    const int fd = qs::OpenTtyExclusive(name, &m_lowLatency);
    if (fd < 0) return OpenFailed(OpenErrorCode(errno), errno);
    if (::tcgetattr(fd, &m_saved) != 0) {
        const int err = errno;
        qs::CloseTty(fd, &m_lowLatency);
        return OpenFailed(kIoFailed, err);
    }
    // DTR and RTS up tell the far end we are there. Ptys and some adapters have no modem
    // lines, so a refusal is not an error.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd, TIOCMBIS, &lines);
    m_fd.store(fd);

    // Every open starts raw whatever the device was left in, in the caller's format.
    const int rc = SetFormat(baud, byteSize, parity, stopBits);
    if (rc == kOk) return rc;
    const int err = rc == kBadArgument ? EINVAL : errno;
    Close();
    return OpenFailed(rc, err);
}

void CUartBasic_posix::Close() noexcept {
    const int fd = m_fd.exchange(-1);
    if (fd < 0) return;
    // TCSADRAIN: bytes still in the output queue go out in the format they were written in.
    ::tcsetattr(fd, TCSADRAIN, &m_saved);
    qs::CloseTty(fd, &m_lowLatency);
}

int CUartBasic_posix::SetFormat(int baud, int byteSize, int parity, int stopBits) noexcept {
    const int fd = m_fd.load();
    if (fd < 0) return kNotOpen;
    qs::LineFormat format;
    if (const int rc = FormatFromCodes(baud, byteSize, parity, stopBits, &format); rc != kOk)
        return rc;
    return FormatResultCode(qs::SetRawMode(fd, format));
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
