#include "serial_link.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "port_name.h"
#include "system_error.h"
#include "trace.h"

namespace zot {

CSerialLink::CSerialLink(IMessageSink* owner) : m_owner(owner) {}

CSerialLink::~CSerialLink() {
    Close();
}

int CSerialLink::Open(int port, int baud) {
    if (IsOpen()) Close();
    if (port < 0) {
        m_openError = qs::NoSuchDeviceError();
        return 0;
    }
    m_portNumber = port;
    m_device.clear();
    m_callerPort = false;
    return OpenResolved(qs::SerialDeviceForPort(port), baud);
}

int CSerialLink::OpenDevice(const std::string& device, int baud) {
    if (IsOpen()) Close();
    if (device.empty()) {
        m_openError = qs::NoSuchDeviceError();
        return 0;
    }
    m_device = device;
    m_callerPort = false;
    // A port name is looked up at every open: a device plugged in again may come back under
    // another path (the next /dev/ttyACM, a changed port map).
    return OpenResolved(qs::SerialDeviceForName(device), baud);
}

int CSerialLink::OpenResolved(const std::string& device, int baud) {
    m_baud = baud;
    m_port = OpenSerialPort(device, baud, &m_openError);
    if (!m_port) {
        ZOT_TRACE("open %s at %d failed", device.c_str(), baud);
        return 0;
    }
    ZOT_TRACE("open %s at %d", device.c_str(), baud);
    return StartReader();
}

int CSerialLink::OpenPort(std::unique_ptr<ISerialPort> port, bool readerThread) {
    if (IsOpen()) Close();
    if (!port) return 0;
    m_port = std::move(port);
    m_callerPort = true;
    return StartReader(readerThread);
}

int CSerialLink::StartReader(bool readerThread) {
    m_parser.Abandon();
    m_parser.TakeNoise();
    m_stop.store(false);
    if (!readerThread) return 1;
    try {
        m_reader = std::thread(&CSerialLink::ReaderLoop, this);
    } catch (...) {
        m_port.reset();
        return 0;
    }
    return 1;
}

void CSerialLink::Close() {
    if (!IsOpen()) return;
    {
        std::unique_lock lock(m_readingMutex);
        m_stop.store(true);
        m_readerWake.notify_all();
        if (m_port) m_port->Interrupt();
        // A call sees the flag after its send or its current read, both short.
        m_readingEnded.wait(lock, [this] { return m_calls == 0; });
    }
    if (m_reader.joinable()) m_reader.join();
    std::lock_guard lock(m_readingMutex);
    m_port.reset();
    ZOT_TRACE("closed");
}

int CSerialLink::Reopen(int baud) {
    if (m_callerPort) return 0;
    Close();
    if (!m_device.empty()) return OpenDevice(m_device, baud);
    return Open(m_portNumber, baud);
}

size_t CSerialLink::ReadChunk(uint8_t* buffer, size_t maxLength, int waitMs) {
    if (maxLength == 0 || !m_port) return 0;
    size_t total = 0;
    while (total < maxLength) {
        const size_t n = m_port->Read(buffer + total, maxLength - total, waitMs);
        if (n == 0) break;
        total += n;
    }
    return total;
}

int CSerialLink::SendPayload() {
    const size_t ahead = m_aheadLength;
    m_aheadLength = 0;
    if (!m_port || m_outgoingLength > kMaxPayload) return 0;
    if (ahead == m_outgoingLength && m_aheadCompress == m_compress &&
        std::memcmp(m_aheadMessage, m_outgoing, ahead) == 0)
        return m_port->Write(m_aheadFrame, m_aheadFrameLength) ? 1 : 0;
    const size_t n = m_txCodec.EncodeMessage(m_outgoing, m_outgoingLength, m_compress, m_frame);
    if (n == 0) return 0;
    return m_port->Write(m_frame, n) ? 1 : 0;
}

void CSerialLink::PrepareAhead(const uint8_t* message, size_t length) {
    m_aheadLength = 0;
    if (length == 0 || length > kMaxPayload) return;
    m_aheadFrameLength = m_txCodec.EncodeMessage(message, length, m_compress, m_aheadFrame);
    if (m_aheadFrameLength == 0) return;
    std::memcpy(m_aheadMessage, message, length);
    m_aheadCompress = m_compress;
    m_aheadLength = length;
}

bool CSerialLink::DeviceGone() const {
    // Close() may drop the port on another thread.
    std::lock_guard lock(m_readingMutex);
    return m_port && m_port->Gone();
}

bool CSerialLink::EnterCall() {
    std::lock_guard lock(m_readingMutex);
    if (m_stop.load() || !m_port) return false;
    ++m_calls;
    return true;
}

void CSerialLink::LeaveCall() {
    std::lock_guard lock(m_readingMutex);
    if (--m_calls == 0) m_callerLeft = std::chrono::steady_clock::now();
    // Close() may be waiting; the reader thread is not woken, it looks again when its
    // wait runs out.
    m_readingEnded.notify_all();
}

bool CSerialLink::AcquireReading() {
    {
        std::unique_lock lock(m_readingMutex);
        if (m_stop.load() || !m_port) return false;
        ++m_calls;
        m_readingEnded.wait(lock, [this] { return !m_readerReading; });
        if (!m_stop.load()) return true;
    }
    LeaveCall();
    return false;
}

void CSerialLink::ReaderLoop() {
    // While files are copied the calls come back to back; the reader thread keeps out of the
    // way until the line has been without a call for this long.
    constexpr auto kCallerGrace = std::chrono::milliseconds(kChunkWaitMs);
    std::unique_lock lock(m_readingMutex);
    while (!m_stop.load()) {
        const auto now = std::chrono::steady_clock::now();
        // A port whose device went away has nothing more to read: the next call opens the
        // device again, and Close() wakes this thread.
        if (m_port->Gone()) {
            m_readerWake.wait(lock, [this] { return m_stop.load(); });
            continue;
        }
        if (m_calls > 0 || now - m_callerLeft < kCallerGrace) {
            m_readerWake.wait_until(lock, (m_calls > 0 ? now : m_callerLeft) + kCallerGrace);
            continue;
        }
        m_readerReading = true;
        lock.unlock();
        ReadSome(kChunkWaitMs);
        lock.lock();
        m_readerReading = false;
        m_readingEnded.notify_all();
    }
}

bool CSerialLink::ReadSome(int waitMs) {
    if (m_stop.load(std::memory_order_relaxed)) return false;
    // Inside a frame only the short byte gap applies. Between frames the wait is kept short,
    // so a closing link is noticed soon.
    const int wait = m_parser.InFrame() ? kByteWaitMs : std::clamp(waitMs, 0, kChunkWaitMs);
    const size_t n = m_port->Read(m_raw, sizeof m_raw, wait);
    if (n == 0) {
        if (m_parser.Abandon())
            m_owner->FrameLost("gap inside frame");
        else if (m_parser.TakeNoise())
            m_owner->FrameLost("bytes outside any frame");
        return true;
    }
    for (size_t i = 0; i < n;) {
        size_t used = 0;
        switch (m_parser.Feed(m_raw + i, n - i, &used)) {
            case FrameParser::Result::kNone:
                break;
            case FrameParser::Result::kFrame:
                HandleFrame();
                break;
            case FrameParser::Result::kBadFrame:
                m_owner->FrameLost("bad checksum or length");
                break;
        }
        i += used;
    }
    return true;
}

void CSerialLink::HandleFrame() {
    const uint8_t* message = nullptr;
    size_t length = 0;
    if (!m_rxCodec.DecodePayload(m_parser.Payload(), m_parser.Length(), &message, &length)) {
        m_owner->FrameLost("payload does not inflate");
        return;
    }
    if (length < kHeaderSize) {
        m_owner->FrameLost("message shorter than its header");
        return;
    }
    m_owner->DeliverMessage(message, length);
}

}  // namespace zot
