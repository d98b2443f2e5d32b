#include "comm_win32.h"

#include <algorithm>
#include <climits>

namespace qs {

CommOverlapped::CommOverlapped() {
    m_ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

CommOverlapped::~CommOverlapped() {
    if (m_ov.hEvent) CloseHandle(m_ov.hEvent);
}

OVERLAPPED* CommOverlapped::Fresh() {
    const HANDLE event = m_ov.hEvent;
    m_ov = OVERLAPPED{};
    m_ov.hEvent = event;
    ResetEvent(event);
    return &m_ov;
}

HANDLE OpenComm(const char* device) {
    // No sharing: the port is ours alone until closed.
    return CreateFileA(device, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
}

long InputQueued(HANDLE port) {
    DWORD errors = 0;
    COMSTAT stat{};
    if (!ClearCommError(port, &errors, &stat)) return -1;
    return static_cast<long>(std::min<DWORD>(stat.cbInQue, LONG_MAX));
}

namespace {

bool SetReadTimeouts(HANDLE port, DWORD interval, DWORD multiplier, DWORD constant) {
    COMMTIMEOUTS t{};
    if (!GetCommTimeouts(port, &t)) return false;
    t.ReadIntervalTimeout = interval;
    t.ReadTotalTimeoutMultiplier = multiplier;
    t.ReadTotalTimeoutConstant = constant;
    return SetCommTimeouts(port, &t) != 0;
}

// One overlapped read of n bytes. guardMs bounds the wait for a driver that does not keep
// its own time-outs: the request is then cancelled and what it gathered is returned.
long ReadOnce(HANDLE port, CommOverlapped& ov, uint8_t* buffer, DWORD n, DWORD guardMs) {
    OVERLAPPED* o = ov.Fresh();
    DWORD got = 0;
    if (ReadFile(port, buffer, n, &got, o)) return static_cast<long>(got);
    if (GetLastError() != ERROR_IO_PENDING) return -1;
    if (guardMs != INFINITE && WaitForSingleObject(o->hEvent, guardMs) == WAIT_TIMEOUT)
        CancelIoEx(port, o);
    if (!GetOverlappedResult(port, o, &got, TRUE))
        return GetLastError() == ERROR_OPERATION_ABORTED ? static_cast<long>(got) : -1;
    return static_cast<long>(got);
}

constexpr DWORD kGuardMs = 1000;

}  // namespace

// The documented way to get "at once when bytes wait, else up to T for the first byte" is
// one read with time-outs (MAXDWORD, MAXDWORD, T). Wine's serial driver never completes such
// a read, and with (MAXDWORD, 0, 0) it pends when nothing waits. What behaves the same on
// both: ask the driver how much is queued; take exactly that with (MAXDWORD, 0, 0), which
// then cannot pend; otherwise read a single byte under a plain total time-out of T, and
// collect whatever came along with it the same way. WaitCommEvent(EV_RXCHAR) is no help
// here: Wine signals it at once on an idle line.
long CommRead(HANDLE port, CommOverlapped& ov, uint8_t* buffer, size_t n, int waitMs) {
    if (n == 0) return 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(n, MAXDWORD));
    if (waitMs < 0) {
        // (0, 0, 0): no time-out at all, the read completes with the full count.
        if (!SetReadTimeouts(port, 0, 0, 0)) return -1;
        return ReadOnce(port, ov, buffer, want, INFINITE);
    }
    const long queued = InputQueued(port);
    if (queued < 0) return -1;
    if (queued > 0) {
        if (!SetReadTimeouts(port, MAXDWORD, 0, 0)) return -1;
        return ReadOnce(port, ov, buffer, std::min<DWORD>(want, static_cast<DWORD>(queued)),
                        kGuardMs);
    }
    if (waitMs == 0) return 0;
    if (!SetReadTimeouts(port, 0, 0, static_cast<DWORD>(waitMs))) return -1;
    const long first = ReadOnce(port, ov, buffer, 1, static_cast<DWORD>(waitMs) + kGuardMs);
    if (first <= 0 || want == 1) return first;
    const long rest = CommRead(port, ov, buffer + 1, want - 1, 0);
    return rest > 0 ? first + rest : first;
}

long CommWrite(HANDLE port, CommOverlapped& ov, const uint8_t* data, size_t n) {
    OVERLAPPED* o = ov.Fresh();
    DWORD done = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(n, MAXDWORD));
    if (WriteFile(port, data, want, &done, o)) return static_cast<long>(done);
    if (GetLastError() != ERROR_IO_PENDING) return -1;
    if (!GetOverlappedResult(port, o, &done, TRUE)) return -1;
    return static_cast<long>(done);
}

}  // namespace qs
