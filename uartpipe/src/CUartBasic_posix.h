#pragma once
#include <termios.h>

#include <atomic>
#include <cstdint>

#include "IUartBasic.h"
#include "low_latency.h"

// IUartBasic over a POSIX tty, taken exclusively. The descriptor is non-blocking; every wait
// is a poll() with the caller's time-out, so reads and writes never depend on VMIN/VTIME.
class CUartBasic_posix final : public IUartBasic {
  public:
    CUartBasic_posix() = default;
    ~CUartBasic_posix() override;
    CUartBasic_posix(const CUartBasic_posix&) = delete;
    CUartBasic_posix& operator=(const CUartBasic_posix&) = delete;

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
    // Descriptor read by the reader and the writer thread alike; -1 while closed.
    std::atomic<int> m_fd{-1};
    // The device's settings as found at open, given back at close.
    termios m_saved{};
    qs::LowLatency m_lowLatency;
};
