#pragma once
#include <atomic>
#include <memory>
#include <string>

#include "IDriftPipe.h"
#include "IUartBasic.h"

// A pipe over one UART. Remembers the port parameters from configuration until the open.
class CDriftUartPipe final : public IDriftPipe {
  public:
    enum Code : int {
        kNotConfigured = -22,
        kNothingRead = -26,
    };

    // A pipe that is not configured and closed; null when its UART cannot be made, so no pipe
    // ever exists without one.
    static CDriftUartPipe* Create() noexcept;
    // As above over a given UART, which the pipe then owns (null: no pipe).
    static CDriftUartPipe* Create(IUartBasic* uart) noexcept;
    ~CDriftUartPipe() override;
    CDriftUartPipe(const CDriftUartPipe&) = delete;
    CDriftUartPipe& operator=(const CDriftUartPipe&) = delete;

    // 0; the time-out is not used.
    int Write(const void* data, int length, int timeoutMs) noexcept override;
    // Byte count, -26 when nothing came, or the UART's code.
    int Read(void* buffer, int length, int timeoutMs) noexcept override;

    void SetPortParams(int port, int baud, int byteSize, int parity, int stopBits) noexcept;
    // The name is copied, so the caller's string may go away before the open. -2 when the
    // copy cannot be allocated; the previous configuration then stays.
    int SetDeviceParams(const char* device, int baud, int byteSize, int parity,
                        int stopBits) noexcept;
    int Open() noexcept;
    int Close() noexcept;

  private:
    enum Kind : int { kUnconfigured = 0, kPortNumber = 1, kDeviceName = 2 };

    struct UartRelease {
        void operator()(IUartBasic* uart) const noexcept { uart->Release(); }
    };

    explicit CDriftUartPipe(IUartBasic* uart) noexcept : m_uart(uart) {}

    int m_port = 0;
    std::string m_device;
    int m_baud = 0;
    int m_byteSize = 0;
    int m_parity = 0;
    int m_stopBits = 0;
    // Read by the reader and the writer thread alike.
    std::atomic<int> m_kind{kUnconfigured};
    std::unique_ptr<IUartBasic, UartRelease> m_uart;
    std::atomic<bool> m_open{false};
};
