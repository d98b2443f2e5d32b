#pragma once
// A serial line in memory whose far end is scripted by a fuzzer: every request written gets
// the next reply the script holds, framed and sent back at once. Waiting costs nothing: a
// read that finds the line empty moves the engine's manual clock on by its whole wait, so
// the link must run without its reader thread.
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "clock.h"
#include "frame_codec.h"
#include "message_codec.h"
#include "serial_port.h"

namespace zotfuzz {

class MemoryPort final : public zot::ISerialPort {
  public:
    // script: a sequence of replies, each [flags][len lo][len hi][len bytes of data].
    // flags bit 0: echo a wrong sequence number; bit 1: send the data as raw line bytes
    // instead of a framed reply; bit 2: compress the reply.
    MemoryPort(const uint8_t* script, size_t size, zot::CManualClock& clock)
        : m_clock(clock), m_script(script, script + size) {}

    bool Exhausted() const {
        std::lock_guard lock(m_mutex);
        return m_pos >= m_script.size();
    }

    size_t Read(uint8_t* buffer, size_t max, int waitMs) override;
    bool Write(const uint8_t* data, size_t length) override;
    bool Purge() override { return true; }

  private:
    void Answer(const uint8_t* message, size_t length);

    zot::CManualClock& m_clock;
    mutable std::mutex m_mutex;
    std::vector<uint8_t> m_script;
    size_t m_pos = 0;
    std::deque<uint8_t> m_line;  // bytes waiting for the reader
    zot::FrameParser m_parser;
    zot::CMessageCodec m_codec;
};

}  // namespace zotfuzz
