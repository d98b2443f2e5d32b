#include "CDriftUartPipe.h"

#include <new>

CDriftUartPipe* CDriftUartPipe::Create() noexcept {
    int error = IUartBasic::kOk;
    IUartBasic* uart = CreateUartBasic(&error);
    if (error != IUartBasic::kOk) return nullptr;
    return Create(uart);
}

CDriftUartPipe* CDriftUartPipe::Create(IUartBasic* uart) noexcept {
    if (!uart) return nullptr;
    auto* pipe = new (std::nothrow) CDriftUartPipe(uart);
    if (!pipe) uart->Release();
    return pipe;
}

CDriftUartPipe::~CDriftUartPipe() {
    if (m_open.load()) Close();
}

void CDriftUartPipe::SetPortParams(int port, int baud, int byteSize, int parity,
                                   int stopBits) noexcept {
    m_port = port;
    m_baud = baud;
    m_byteSize = byteSize;
    m_parity = parity;
    m_stopBits = stopBits;
    m_kind.store(kPortNumber);
}

int CDriftUartPipe::SetDeviceParams(const char* device, int baud, int byteSize, int parity,
                                    int stopBits) noexcept {
    try {
        // A null name is kept as empty: the open then refuses it as a bad argument.
        m_device.assign(device ? device : "");
    } catch (const std::bad_alloc&) {
        return IUartBasic::kNoMemory;
    }
    m_baud = baud;
    m_byteSize = byteSize;
    m_parity = parity;
    m_stopBits = stopBits;
    m_kind.store(kDeviceName);
    return IUartBasic::kOk;
}

int CDriftUartPipe::Open() noexcept {
    if (m_kind.load() == kUnconfigured) SetPortParams(1, 9600, 8, 0, 1);
    const int rc =
        m_kind.load() == kPortNumber
            ? m_uart->OpenPort(m_port, m_baud, m_byteSize, m_parity, m_stopBits)
            : m_uart->OpenDevice(m_device.c_str(), m_baud, m_byteSize, m_parity, m_stopBits);
    switch (rc) {
        case IUartBasic::kOk:
            m_open.store(true);
            return rc;
        case IUartBasic::kBadArgument:
        case IUartBasic::kOpenFailed:
        case IUartBasic::kAlreadyOpen:
        case IUartBasic::kFormatRefused:
            return rc;
        default:
            return IUartBasic::kIoFailed;
    }
}

int CDriftUartPipe::Close() noexcept {
    if (m_kind.load() == kUnconfigured) return kNotConfigured;
    m_uart->Close();
    m_open.store(false);
    return IUartBasic::kOk;
}

int CDriftUartPipe::Write(const void* data, int length, int /*timeoutMs*/) noexcept {
    if (m_kind.load() == kUnconfigured) return kNotConfigured;
    switch (const int rc = m_uart->Write(data, length)) {
        case IUartBasic::kOk:
        case IUartBasic::kNotOpen:
        case IUartBasic::kBadArgument:
            return rc;
        default:
            return IUartBasic::kIoFailed;
    }
}

int CDriftUartPipe::Read(void* buffer, int length, int timeoutMs) noexcept {
    if (m_kind.load() == kUnconfigured) return kNotConfigured;
    if (length == 0) return 0;
    const int rc = m_uart->Read(buffer, length, timeoutMs);
    return rc == 0 ? kNothingRead : rc;
}
