#include <termios.h>

#include <cerrno>

#include "line_format.h"
#include "tty_posix.h"

namespace qs {
namespace {

// Bytes pass unchanged: no break or parity marking, no CR/NL mapping, no stripping to 7 bits,
// no input parity check (a byte that fails it is passed on like any other), and no XON/XOFF,
// which would eat 0x11/0x13 in binary data.
constexpr tcflag_t kInputOff =
    IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | INPCK | IXON | IXOFF | IXANY;
// No output post-processing (NL to CR-NL and the like).
constexpr tcflag_t kOutputOff = OPOST;
// No line editing, echo or signal characters: this is a data line, not a terminal.
constexpr tcflag_t kLocalOff = ECHO | ECHONL | ICANON | ISIG | IEXTEN;
// The control bits the set-up decides. CLOCAL: ignore carrier detect, which many devices
// never raise. CREAD: enable the receiver. No HUPCL: closing must not drop DTR, which resets
// some terminals' USB bridges and the next user's line. No CRTSCTS: the cable has no
// hardware handshake, and a missing CTS would stall every write.
constexpr tcflag_t kControlBits = CSIZE | PARENB | PARODD | CSTOPB | CLOCAL | CREAD | HUPCL
#ifdef CRTSCTS
                                  | CRTSCTS
#endif
#ifdef CMSPAR
                                  | CMSPAR
#endif
    ;

// The format's control bits; false when termios cannot express it.
bool ControlBits(const LineFormat& format, tcflag_t* bits) {
    *bits = CLOCAL | CREAD;
    switch (format.dataBits) {
        case 5:
            *bits |= CS5;
            break;
        case 6:
            *bits |= CS6;
            break;
        case 7:
            *bits |= CS7;
            break;
        case 8:
            *bits |= CS8;
            break;
        default:
            return false;
    }
    if (format.parity == Parity::kOdd) *bits |= PARENB | PARODD;
    if (format.parity == Parity::kEven) *bits |= PARENB;
    // termios has no 1.5 stop bits, and CSTOPB would silently send two.
    if (format.stopBits == StopBits::kOneAndAHalf) return false;
    if (format.stopBits == StopBits::kTwo) *bits |= CSTOPB;
    return true;
}

bool Applied(const termios& asked, const termios& got) {
    return (got.c_iflag & kInputOff) == (asked.c_iflag & kInputOff) &&
           (got.c_oflag & kOutputOff) == (asked.c_oflag & kOutputOff) &&
           (got.c_lflag & kLocalOff) == (asked.c_lflag & kLocalOff) &&
           (got.c_cflag & kControlBits) == (asked.c_cflag & kControlBits) &&
           got.c_cc[VMIN] == asked.c_cc[VMIN] && got.c_cc[VTIME] == asked.c_cc[VTIME] &&
           cfgetispeed(&got) == cfgetispeed(&asked) && cfgetospeed(&got) == cfgetospeed(&asked);
}

RawModeResult Refused() {
    errno = EINVAL;
    return RawModeResult::kRefused;
}

}  // namespace

RawModeResult SetRawMode(int fd, const LineFormat& format) {
    termios before{};
    if (::tcgetattr(fd, &before) != 0) return RawModeResult::kFailed;
    tcflag_t control = 0;
    speed_t speed{};
    if (!ControlBits(format, &control) || !BaudToSpeed(format.baud, &speed)) return Refused();

    termios raw = before;
    raw.c_iflag &= ~kInputOff;
    raw.c_oflag &= ~kOutputOff;
    raw.c_lflag &= ~kLocalOff;
    raw.c_cflag = (raw.c_cflag & ~kControlBits) | control;
    // Reads return what is there; every wait is a poll() with the caller's time-out.
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    if (::cfsetispeed(&raw, speed) != 0 || ::cfsetospeed(&raw, speed) != 0) return Refused();
    if (::tcsetattr(fd, TCSANOW, &raw) != 0) {
        const int err = errno;
        ::tcsetattr(fd, TCSANOW, &before);
        errno = err;
        return RawModeResult::kRefused;
    }
    // tcsetattr succeeds when any part of the request was taken (a pty keeps 8 bits and no
    // parity whatever it is asked); only reading the settings back tells.
    termios got{};
    if (::tcgetattr(fd, &got) != 0 || !Applied(raw, got)) {
        ::tcsetattr(fd, TCSANOW, &before);
        return Refused();
    }
    return RawModeResult::kSet;
}

}  // namespace qs
