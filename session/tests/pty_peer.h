#pragma once
// A hand-driven terminal on the master side of a pseudo-terminal: the test reads the exact
// frames the library writes and answers with whatever bytes it likes, timed as it likes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "frame_codec.h"
#include "message_codec.h"

namespace zot::test {

using Bytes = std::vector<uint8_t>;

struct Request {
    Bytes frame;    // as it came off the line, escaped
    Bytes message;  // plain, inflated when it came compressed
    bool compressed = false;
    uint16_t command() const { return GetU16(message.data() + 1); }
    uint16_t sequence() const { return GetU16(message.data() + 3); }
    Bytes data() const { return Bytes(message.begin() + kHeaderSize, message.end()); }
};

class PtyPeer {
  public:
    PtyPeer();
    ~PtyPeer();
    const std::string& SlavePath() const { return m_slavePath; }

    // The next request the library sent, or nothing within timeoutMs.
    std::optional<Request> NextRequest(int timeoutMs = 3000);
    void SendRaw(const Bytes& bytes);
    // A reply message for a request: command and sequence echoed unless given.
    static Bytes ReplyMessage(uint16_t command, uint16_t sequence, const Bytes& data);
    static Bytes Frame(const Bytes& message, bool compress = false);

  private:
    int m_master = -1;
    int m_slaveKeeper = -1;
    std::string m_slavePath;
    FrameParser m_parser;
    CMessageCodec m_codec;
    Bytes m_pending;
};

}  // namespace zot::test
