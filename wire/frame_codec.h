#pragma once
// Framing of one payload: 0x02, length (LE16), payload, checksum; all but the start byte
// escaped. Pure: no I/O, no clock, no globals.
#include <cstddef>
#include <cstdint>

#include "protocol.h"

namespace zot {

inline bool NeedsEscape(uint8_t b) {
    return b == 0x02 || b == 0x0A || b == 0x0D || b == 0x1B || b == 0x7E;
}

// Writes b, escaped when needed, at out; returns the number of bytes written (1 or 2).
size_t EscapeByte(uint8_t b, uint8_t* out);

// Checksum over the unescaped length bytes and payload.
uint8_t FrameChecksum(const uint8_t* payload, size_t length);

// Encodes a payload of at most kMaxPayload bytes into out (kMaxFrame bytes). Returns the
// frame length, or 0 when the payload is too long.
size_t EncodeFrame(const uint8_t* payload, size_t length, uint8_t* out);

// Streaming frame parser: feed it the received bytes in any split and it yields the same
// frames. A start byte always begins a new frame, so a frame cut short by line noise costs
// only itself. The caller tells it about line silence with Abandon().
class FrameParser {
  public:
    enum class Result {
        kNone,      // byte consumed, no frame finished
        kFrame,     // a frame passed its checksum: Payload()/Length() hold it
        kBadFrame,  // a frame complete in length failed its checksum, or its length was bad
    };

    Result Feed(uint8_t byte);
    // Feeds bytes in order until one of them ends a frame, good or bad, and returns that
    // result with *used counting the bytes consumed (all of them when kNone). Gives the same
    // results as feeding the bytes one at a time, but takes a frame's plain run of payload
    // bytes in one step.
    Result Feed(const uint8_t* bytes, size_t count, size_t* used);
    // Drops a partly received frame; returns true when there was one.
    bool Abandon();
    // True when bytes outside any frame were skipped since the last call or frame start:
    // on a line where only the peer talks, that is a frame whose start byte was lost.
    bool TakeNoise() {
        const bool had = m_noise;
        m_noise = false;
        return had;
    }
    // True while a frame has started and is not complete.
    bool InFrame() const { return m_state != State::kHunt; }

    const uint8_t* Payload() const { return m_payload; }
    size_t Length() const { return m_length; }

  private:
    enum class State {
        kHunt,      // waits for a start byte; everything else is noise
        kLenLow,    // waits for the low byte of L
        kLenHigh,   // waits for the high byte of L
        kPayload,   // waits for the remaining payload bytes
        kChecksum,  // waits for the checksum byte
    };
    Result Take(uint8_t value);

    State m_state = State::kHunt;
    bool m_escaped = false;  // the previous byte was 0x7E: flip this one
    bool m_noise = false;    // bytes were skipped while hunting
    uint8_t m_sum = 0;
    size_t m_expected = 0;
    size_t m_length = 0;
    uint8_t m_payload[kMaxPayload] = {};
};

}  // namespace zot
