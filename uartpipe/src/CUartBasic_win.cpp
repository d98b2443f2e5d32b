#include "CUartBasic_win.h"

#include <climits>
#include <cstdio>
#include <new>

namespace {

constexpr int kHighestPort = 255;

// After a failed transfer the caller usually retries at once; the pause keeps a dead port
// (unplugged adapter) from turning that into a busy loop.
int BackOffAfterFailure(HANDLE port) {
    DWORD errors = 0;
    const BOOL cleared = ClearCommError(port, &errors, nullptr);
    Sleep(10);
    return cleared ? 0 : IUartBasic::kIoFailed;
}

int OpenErrorCode(DWORD err) {
    switch (err) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return IUartBasic::kNoSuchDevice;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return IUartBasic::kDeviceInUse;
        default:
            return IUartBasic::kOpenFailed;
    }
}

// A failed open leaves its reason for GetLastError(), set after the clean-up that could
// change it.
int OpenFailed(int code, DWORD err) {
    SetLastError(err);
    return code;
}

// The state every open starts from: 9600 8N1, binary, DTR and RTS on, no flow control.
DCB DefaultState() {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = CBR_9600;
    dcb.fBinary = 1;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.XonLim = 2048;
    dcb.XoffLim = 512;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    return dcb;
}

}  // namespace

IUartBasic* CreateUartBasic(int* error) noexcept {
    int ignored = 0;
    int& slot = error ? *error : ignored;
    slot = IUartBasic::kOk;
    auto* uart = new (std::nothrow) CUartBasic_win(&slot, true);
    if (!uart) {
        slot = IUartBasic::kNoMemory;
        return nullptr;
    }
    if (slot != IUartBasic::kOk) {
        delete uart;
        return nullptr;
    }
    return uart;
}

CUartBasic_win::CUartBasic_win(int* error, bool overlapped) : m_overlapped(overlapped) {
    if (error && *error != kOk) return;
    if (m_overlapped && (!m_read.ok() || !m_write.ok()) && error) *error = kNoEvent;
}

CUartBasic_win::~CUartBasic_win() {
    Close();
}

void CUartBasic_win::Release() noexcept {
    delete this;
}

int CUartBasic_win::NoOp() noexcept {
    return kOk;
}

int CUartBasic_win::OpenPort(int port, int baud, int byteSize, int parity, int stopBits) noexcept {
    if (port > kHighestPort) return OpenFailed(kNoSuchDevice, ERROR_FILE_NOT_FOUND);
    char name[24];
    std::snprintf(name, sizeof name, "\\\\.\\COM%d", port);
    return OpenDevice(name, baud, byteSize, parity, stopBits);
}

int CUartBasic_win::OpenDevice(const char* name, int baud, int byteSize, int parity,
                               int stopBits) noexcept {
    if (!name || !*name) return OpenFailed(kBadArgument, ERROR_FILE_NOT_FOUND);
    if (m_port != INVALID_HANDLE_VALUE) return OpenFailed(kAlreadyOpen, ERROR_ACCESS_DENIED);
    const HANDLE h = qs::OpenComm(name);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = GetLastError();
        return OpenFailed(OpenErrorCode(err), err);
    }
    m_saved = DCB{};
    m_saved.DCBlength = sizeof m_saved;
    GetCommState(h, &m_saved);
    DCB defaults = DefaultState();
    SetCommState(h, &defaults);
    DCB back{};
    back.DCBlength = sizeof back;
    if (GetCommState(h, &back)) {
        back.fOutxCtsFlow = 0;
        SetCommState(h, &back);
    }
    m_port = h;
    COMMTIMEOUTS t{};
    bool timeoutsSet = GetCommTimeouts(h, &t) != 0;
    if (timeoutsSet) {
        t.WriteTotalTimeoutMultiplier = 0;
        t.WriteTotalTimeoutConstant = 0;
        timeoutsSet = SetCommTimeouts(h, &t) != 0;
    }
    if (!timeoutsSet) {
        const DWORD err = GetLastError();
        Close();
        return OpenFailed(kIoFailed, err);
    }
    SetLastError(ERROR_SUCCESS);
    const int rc = SetFormat(baud, byteSize, parity, stopBits);
    if (rc == kOk) return rc;
    // A format not listed has no system error of its own.
    const DWORD err = GetLastError();
    Close();
    return OpenFailed(rc, err && rc != kBadArgument ? err : ERROR_INVALID_PARAMETER);
}

void CUartBasic_win::Close() noexcept {
    if (m_port == INVALID_HANDLE_VALUE) return;
    if (m_saved.DCBlength) SetCommState(m_port, &m_saved);
    CloseHandle(m_port);
    m_port = INVALID_HANDLE_VALUE;
}

int CUartBasic_win::SetFormat(int baud, int byteSize, int parity, int stopBits) noexcept {
    if (m_port == INVALID_HANDLE_VALUE) return kNotOpen;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(m_port, &dcb)) return kIoFailed;
    dcb.BaudRate = static_cast<DWORD>(baud);
    dcb.ByteSize = static_cast<BYTE>(byteSize & 0xFF);
    switch (parity) {
        case 0:
            dcb.Parity = NOPARITY;
            break;
        case 1:
            dcb.Parity = ODDPARITY;
            break;
        case 2:
            dcb.Parity = EVENPARITY;
            break;
        default:
            return kBadArgument;
    }
    switch (stopBits) {
        case 1:
            dcb.StopBits = ONESTOPBIT;
            break;
        case 15:
            dcb.StopBits = ONE5STOPBITS;
            break;
        case 2:
            dcb.StopBits = TWOSTOPBITS;
            break;
        default:
            return kBadArgument;
    }
    return SetCommState(m_port, &dcb) ? kOk : kFormatRefused;
}

int CUartBasic_win::Write(const void* data, int length) noexcept {
    if (m_port == INVALID_HANDLE_VALUE) return kNotOpen;
    if (!data || length < 0) return kBadArgument;
    if (length == 0) return kOk;
    // No write time-out: a write ends when every byte has gone out.
    COMMTIMEOUTS t{};
    if (!GetCommTimeouts(m_port, &t)) return kIoFailed;
    t.WriteTotalTimeoutMultiplier = 0;
    t.WriteTotalTimeoutConstant = MAXDWORD;
    if (!SetCommTimeouts(m_port, &t)) return kIoFailed;
    const long n = qs::CommWrite(m_port, m_write, static_cast<const uint8_t*>(data),
                                 static_cast<size_t>(length));
    if (n < 0) {
        BackOffAfterFailure(m_port);
        return kIoFailed;
    }
    return n == length ? kOk : kIoFailed;
}

int CUartBasic_win::ReadStep(uint8_t* buffer, int n, int timeoutMs) noexcept {
    const long r = qs::CommRead(m_port, m_read, buffer, static_cast<size_t>(n), timeoutMs);
    if (r >= 0) return static_cast<int>(r);
    return BackOffAfterFailure(m_port) == 0 ? 0 : kIoFailed;
}

int CUartBasic_win::Read(void* buffer, int length, int timeoutMs) noexcept {
    if (m_port == INVALID_HANDLE_VALUE) return kNotOpen;
    const bool single = length < 0;
    // -INT_MIN is not an int; the largest count an int holds stands in for it.
    const int count = !single ? length : (length == INT_MIN ? INT_MAX : -length);
    if (!buffer || timeoutMs < -1) return kBadArgument;
    if (count == 0) return 0;
    auto* bytes = static_cast<uint8_t*>(buffer);
    if (single) return ReadStep(bytes, count, timeoutMs);
    int sum = 0;
    while (sum < count) {
        const int got = ReadStep(bytes + sum, count - sum, timeoutMs);
        // Bytes gathered by earlier steps are already in the caller's buffer: report them
        // rather than an error that would make the caller drop them.
        if (got < 0) return sum > 0 ? sum : got;
        if (got == 0) break;
        sum += got;
        if (timeoutMs <= 0) break;
    }
    return sum;
}

bool CUartBasic_win::HasInput() noexcept {
    if (m_port == INVALID_HANDLE_VALUE) return false;
    return qs::InputQueued(m_port) > 0;
}
