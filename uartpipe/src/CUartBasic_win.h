#pragma once
#include <windows.h>

#include "IUartBasic.h"
#include "comm_win32.h"

// IUartBasic over a Win32 COM port with overlapped I/O: one overlapped record and event for
// reads and one for writes, so a reader and a writer thread may work at once.
class CUartBasic_win final : public IUartBasic {
  public:
    // error: the factory's slot; set to -3 when an event cannot be created.
    CUartBasic_win(int* error, bool overlapped);
    ~CUartBasic_win() override;
    CUartBasic_win(const CUartBasic_win&) = delete;
    CUartBasic_win& operator=(const CUartBasic_win&) = delete;

    void Release() noexcept override;
    int NoOp() noexcept override;
    int OpenPort(int port, int baud, int byteSize, int parity, int stopBits) noexcept override;
    int OpenDevice(const char* name, int baud, int byteSize, int parity,
                   int stopBits) noexcept override;
    void Close() noexcept override;
    int SetFormat(int baud, int byteSize, int parity, int stopBits) noexcept override;
    int Write(const void* data, int length) noexcept override;
    int Read(void* buffer, int length, int timeoutMs) noexcept override;
    bool HasInput() noexcept override;

  private:
    int ReadStep(uint8_t* buffer, int n, int timeoutMs) noexcept;

    HANDLE m_port = INVALID_HANDLE_VALUE;
    bool m_overlapped;
    qs::CommOverlapped m_read;
    qs::CommOverlapped m_write;
    // The device's state as found at open, given back at close.
    DCB m_saved{};
};
