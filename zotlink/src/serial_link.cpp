#include "serial_link.h"

#include <chrono>

#include "port_name.h"
#include "trace.h"

namespace zot {

CSerialLink::CSerialLink(IMessageSink* owner) : m_owner(owner) {}

CSerialLink::~CSerialLink() { Close(); }

int CSerialLink::Open(int port, int baud) {
    if (IsOpen()) Close();
    if (port < 0) return 0;
    m_portNumber = port;
    m_device.clear();
    return OpenResolved(qs::SerialDeviceForPort(port), baud);
}

int CSerialLink::OpenDevice(const std::string& device, int baud) {
    if (IsOpen()) Close();
    if (device.empty()) return 0;
    m_device = device;
    return OpenResolved(device, baud);
}

int CSerialLink::OpenResolved(const std::string& device, int baud) {
    m_baud = baud;
    m_port = OpenSerialPort(device, baud);
    if (!m_port) {
        ZOT_TRACE("open %s at %d failed", device.c_str(), baud);
        return 0;
    }
    ZOT_TRACE("open %s at %d", device.c_str(), baud);
    return StartReader();
}

int CSerialLink::OpenPort(std::unique_ptr<ISerialPort> port) {
    if (IsOpen()) Close();
    if (!port) return 0;
    m_port = std::move(port);
    return StartReader();
}

int CSerialLink::StartReader() {
    m_parser.Abandon();
    m_parser.TakeNoise();
    m_stop.store(false);
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
    m_stop.store(true);
    if (m_reader.joinable()) m_reader.join();
    m_port.reset();
    ZOT_TRACE("closed");
}

int CSerialLink::Reopen(int baud) {
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
    if (!m_port || m_outgoingLength > kMaxPayload) return 0;
    const size_t n = m_txCodec.EncodeMessage(m_outgoing, m_outgoingLength, m_compress, m_frame);
    if (n == 0) return 0;
    return m_port->Write(m_frame, n) ? 1 : 0;
}

void CSerialLink::ReaderLoop() {
    while (!m_stop.load(std::memory_order_relaxed)) {
        // Inside a frame only the short byte gap applies; between frames the wait just bounds
        // how long Close() waits for this thread.
        const int wait = m_parser.InFrame() ? kByteWaitMs : kChunkWaitMs;
        const size_t n = m_port->Read(m_raw, sizeof m_raw, wait);
        if (n == 0) {
            if (m_parser.Abandon())
                m_owner->FrameLost("gap inside frame");
            else if (m_parser.TakeNoise())
                m_owner->FrameLost("bytes outside any frame");
            continue;
        }
        for (size_t i = 0; i < n; ++i) {
            switch (m_parser.Feed(m_raw[i])) {
                case FrameParser::Result::kNone:
                    break;
                case FrameParser::Result::kFrame:
                    HandleFrame();
                    break;
                case FrameParser::Result::kBadFrame:
                    m_owner->FrameLost("bad checksum or length");
                    break;
            }
        }
    }
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
