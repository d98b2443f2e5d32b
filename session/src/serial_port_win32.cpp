#include <windows.h>

#include <atomic>

#include "comm_win32.h"
#include "serial_port.h"

namespace zot {
namespace {

constexpr DWORD kQueueBytes = 4096;
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

class CWin32SerialPort final : public ISerialPort {
  public:
    explicit CWin32SerialPort(HANDLE port) : m_port(port) {}
    ~CWin32SerialPort() override { CloseHandle(m_port); }
    CWin32SerialPort(const CWin32SerialPort&) = delete;
    CWin32SerialPort& operator=(const CWin32SerialPort&) = delete;

    bool ok() const { return m_read.ok() && m_write.ok(); }

    size_t Read(uint8_t* buffer, size_t max, int waitMs) override {
        if (max == 0) return 0;
        const long n = qs::CommRead(m_port, m_read, buffer, max, waitMs < 0 ? 0 : waitMs);
        if (n >= 0) return static_cast<size_t>(n);
        NoteFailure(GetLastError());
        // A removed device fails every call at once; wait out the time as silence would.
        Sleep(static_cast<DWORD>(waitMs > 0 ? waitMs : 1));
        return 0;
    }

    // The write time-outs set at open (10 ms a byte plus 1000 ms) bound the wait; the frame
    // buffer stays untouched until the write is over.
    bool Write(const uint8_t* data, size_t length) override {
        if (qs::CommWrite(m_port, m_write, data, length) == static_cast<long>(length)) return true;
        NoteFailure(GetLastError());
        return false;
    }

    bool Gone() const override { return m_gone.load(); }

    bool Purge() override { return PurgeComm(m_port, kPurgeAll) != 0; }

  private:
    // What a USB serial port answers once it has been pulled out.
    void NoteFailure(DWORD error) {
        switch (error) {
            case ERROR_ACCESS_DENIED:
            case ERROR_BAD_COMMAND:
            case ERROR_DEVICE_REMOVED:
            case ERROR_DEVICE_NOT_CONNECTED:
            case ERROR_GEN_FAILURE:
            case ERROR_INVALID_HANDLE:
            case ERROR_FILE_NOT_FOUND:
                m_gone.store(true);
                break;
            default:
                break;
        }
    }

    HANDLE m_port;
    std::atomic<bool> m_gone{false};
    qs::CommOverlapped m_read;
    qs::CommOverlapped m_write;
};

bool Configure(HANDLE port, int baud) {
    if (qs::SetRawMode(port, qs::LineFormat{.baud = baud}) != qs::RawModeResult::kSet) return false;
    if (!SetupComm(port, kQueueBytes, kQueueBytes)) return false;
    if (!PurgeComm(port, kPurgeAll)) return false;
    COMMTIMEOUTS t{};
    if (!GetCommTimeouts(port, &t)) return false;
    t.ReadIntervalTimeout = MAXDWORD;
    t.ReadTotalTimeoutMultiplier = MAXDWORD;
    t.ReadTotalTimeoutConstant = 30;
    t.WriteTotalTimeoutMultiplier = 10;
    t.WriteTotalTimeoutConstant = 1000;
    if (!SetCommTimeouts(port, &t)) return false;
    return SetCommMask(port, EV_RXCHAR) != 0;
}

}  // namespace

std::unique_ptr<ISerialPort> OpenSerialPort(const std::string& device, int baud, int* error) {
    *error = 0;
    if (device.empty()) {
        *error = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
    if (baud <= 0) {
        *error = ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    const HANDLE h = qs::OpenComm(device.c_str());
    if (h == INVALID_HANDLE_VALUE) {
        *error = static_cast<int>(GetLastError());
        return nullptr;
    }
    if (!Configure(h, baud)) {
        const DWORD why = GetLastError();
        *error = static_cast<int>(why ? why : ERROR_INVALID_PARAMETER);
        CloseHandle(h);
        return nullptr;
    }
    auto port = std::make_unique<CWin32SerialPort>(h);
    if (!port->ok()) {
        *error = ERROR_NO_SYSTEM_RESOURCES;  // its events could not be made
        return nullptr;
    }
    return port;
}

}  // namespace zot
