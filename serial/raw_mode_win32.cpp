#include "comm_win32.h"
#include "line_format.h"

namespace qs {

RawModeResult SetRawMode(HANDLE port, const LineFormat& format) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(port, &dcb)) return RawModeResult::kFailed;
    dcb.BaudRate = static_cast<DWORD>(format.baud);
    // The driver judges the size; only the low byte fits the record.
    dcb.ByteSize = static_cast<BYTE>(format.dataBits & 0xFF);
    switch (format.parity) {
        case Parity::kNone:
            dcb.Parity = NOPARITY;
            break;
        case Parity::kOdd:
            dcb.Parity = ODDPARITY;
            break;
        case Parity::kEven:
            dcb.Parity = EVENPARITY;
            break;
    }
    switch (format.stopBits) {
        case StopBits::kOne:
            dcb.StopBits = ONESTOPBIT;
            break;
        case StopBits::kOneAndAHalf:
            dcb.StopBits = ONE5STOPBITS;
            break;
        case StopBits::kTwo:
            dcb.StopBits = TWOSTOPBITS;
            break;
    }
    dcb.fBinary = 1;
    // No parity checking: a byte that fails it is passed on like any other, as on POSIX.
    dcb.fParity = 0;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    // DTR and RTS up and left there: the cable has no handshake, and some terminals only
    // talk while DTR is raised.
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fDsrSensitivity = 0;
    // XON/XOFF would swallow 0x11/0x13 bytes of binary frames. The characters stay the usual
    // ones even so: SetCommState refuses a record where they are equal.
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fTXContinueOnXoff = 0;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    dcb.fErrorChar = 0;
    dcb.fNull = 0;
    // An abort on error would fail every later read until the error is cleared.
    dcb.fAbortOnError = 0;
    if (!SetCommState(port, &dcb)) {
        if (GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_INVALID_PARAMETER);
        return RawModeResult::kRefused;
    }
    return RawModeResult::kSet;
}

}  // namespace qs
