#include "memory_port.h"

#include <chrono>

namespace zotfuzz {

size_t MemoryPort::Read(uint8_t* buffer, size_t max, int waitMs) {
    std::lock_guard lock(m_mutex);
    if (m_line.empty()) {
        m_clock.Advance(std::chrono::milliseconds(waitMs));
        return 0;
    }
    size_t n = 0;
    while (n < max && !m_line.empty()) {
        buffer[n++] = m_line.front();
        m_line.pop_front();
    }
    return n;
}

bool MemoryPort::Write(const uint8_t* data, size_t length) {
    std::lock_guard lock(m_mutex);
    for (size_t i = 0; i < length; ++i) {
        if (m_parser.Feed(data[i]) != zot::FrameParser::Result::kFrame) continue;
        const uint8_t* message;
        size_t n;
        if (m_codec.DecodePayload(m_parser.Payload(), m_parser.Length(), &message, &n) &&
            n >= zot::kHeaderSize)
            Answer(message, n);
    }
    return true;
}

void MemoryPort::Answer(const uint8_t* request, size_t) {
    if (m_pos + 3 > m_script.size()) {
        m_pos = m_script.size();
        return;
    }
    const uint8_t flags = m_script[m_pos];
    size_t length = zot::GetU16(&m_script[m_pos + 1]);
    m_pos += 3;
    if (length > m_script.size() - m_pos) length = m_script.size() - m_pos;
    const uint8_t* data = m_script.data() + m_pos;
    m_pos += length;
    if (flags & 2) {
        m_line.insert(m_line.end(), data, data + length);
        return;
    }
    if (length > zot::kMaxData) length = zot::kMaxData;
    uint8_t message[zot::kMaxPayload];
    uint16_t sequence = zot::GetU16(request + 3);
    if (flags & 1) --sequence;
    zot::PutHeader(message, zot::kTypeReply, zot::GetU16(request + 1), sequence,
                   static_cast<uint16_t>(length));
    std::copy(data, data + length, message + zot::kHeaderSize);
    uint8_t frame[zot::kMaxFrame];
    const size_t n = m_codec.EncodeMessage(message, zot::kHeaderSize + length, flags & 4, frame);
    m_line.insert(m_line.end(), frame, frame + n);
}

}  // namespace zotfuzz
