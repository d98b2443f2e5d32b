#include "frame_codec.h"

#include <algorithm>
#include <cstring>

namespace zot {

size_t EscapeByte(uint8_t b, uint8_t* out) {
    if (NeedsEscape(b)) {
        out[0] = kEscapeByte;
        out[1] = static_cast<uint8_t>(b ^ kEscapeFlip);
        return 2;
    }
    out[0] = b;
    return 1;
}

uint8_t FrameChecksum(const uint8_t* payload, size_t length) {
    uint8_t sum = static_cast<uint8_t>(0xFF ^ (length & 0xFF) ^ ((length >> 8) & 0xFF));
    for (size_t i = 0; i < length; ++i) sum ^= payload[i];
    return sum;
}

size_t EncodeFrame(const uint8_t* payload, size_t length, uint8_t* out) {
    if (length > kMaxPayload) return 0;
    size_t n = 0;
    out[n++] = kStartByte;
    n += EscapeByte(static_cast<uint8_t>(length & 0xFF), out + n);
    n += EscapeByte(static_cast<uint8_t>(length >> 8), out + n);
    for (size_t i = 0; i < length; ++i) n += EscapeByte(payload[i], out + n);
    n += EscapeByte(FrameChecksum(payload, length), out + n);
    return n;
}

FrameParser::Result FrameParser::Feed(uint8_t byte) {
    if (byte == kStartByte) {
        // Never escaped on the wire, so it always starts a frame, even inside one.
        const bool cut = InFrame();
        m_state = State::kLenLow;
        m_escaped = false;
        m_noise = false;
        m_length = 0;
        return cut ? Result::kBadFrame : Result::kNone;
    }
    if (m_state == State::kHunt) {
        m_noise = true;
        return Result::kNone;
    }
    if (m_escaped) {
        m_escaped = false;
        return Take(static_cast<uint8_t>(byte ^ kEscapeFlip));
    }
    if (byte == kEscapeByte) {
        m_escaped = true;
        return Result::kNone;
    }
    return Take(byte);
}

FrameParser::Result FrameParser::Feed(const uint8_t* bytes, size_t count, size_t* used) {
    size_t i = 0;
    while (i < count) {
        if (m_state == State::kPayload && !m_escaped) {
            // The run up to the next start or escape byte, or to the payload's end.
            const uint8_t* run = bytes + i;
            size_t n = std::min(m_expected - m_length, count - i);
            if (const void* at = std::memchr(run, kStartByte, n))
                n = static_cast<size_t>(static_cast<const uint8_t*>(at) - run);
            if (const void* at = std::memchr(run, kEscapeByte, n))
                n = static_cast<size_t>(static_cast<const uint8_t*>(at) - run);
            std::memcpy(m_payload + m_length, run, n);
            uint8_t sum = m_sum;
            for (size_t k = 0; k < n; ++k) sum ^= run[k];
            m_sum = sum;
            m_length += n;
            if (m_length == m_expected) m_state = State::kChecksum;
            i += n;
            if (i == count) break;
        }
        const Result r = Feed(bytes[i++]);
        if (r != Result::kNone) {
            *used = i;
            return r;
        }
    }
    *used = count;
    return Result::kNone;
}

FrameParser::Result FrameParser::Take(uint8_t value) {
    switch (m_state) {
        case State::kLenLow:
            m_expected = value;
            m_state = State::kLenHigh;
            return Result::kNone;
        case State::kLenHigh:
            m_expected |= static_cast<size_t>(value) << 8;
            if (m_expected > kMaxPayload) {
                m_state = State::kHunt;
                return Result::kBadFrame;
            }
            m_sum = static_cast<uint8_t>(0xFF ^ (m_expected & 0xFF) ^ ((m_expected >> 8) & 0xFF));
            m_state = m_expected ? State::kPayload : State::kChecksum;
            return Result::kNone;
        case State::kPayload:
            m_payload[m_length++] = value;
            m_sum ^= value;
            if (m_length == m_expected) m_state = State::kChecksum;
            return Result::kNone;
        case State::kChecksum:
            m_state = State::kHunt;
            return value == m_sum ? Result::kFrame : Result::kBadFrame;
        case State::kHunt:
            break;
    }
    return Result::kNone;
}

bool FrameParser::Abandon() {
    const bool had = InFrame();
    m_state = State::kHunt;
    m_escaped = false;
    return had;
}

}  // namespace zot
