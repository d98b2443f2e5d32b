#pragma once
// Between plain messages and frame payloads: optional zlib compression on the way out,
// inflation of 0x78 payloads on the way in. One object per direction of a link, since the
// two directions run on different threads.
#include <cstddef>
#include <cstdint>

#include "deflate_codec.h"
#include "frame_codec.h"

namespace zot {

class CMessageCodec {
  public:
    // Encodes message (at most kMaxPayload bytes) as a frame into frame (kMaxFrame bytes),
    // compressed when asked. A message whose compressed form would not fit a frame goes plain:
    // receivers take both. Returns the frame length, 0 when nothing can be sent.
    size_t EncodeMessage(const uint8_t* message, size_t length, bool compress, uint8_t* frame);

    // Gives the plain message carried by a frame payload, inflated when it starts with 0x78.
    // False when it does not inflate, is empty or exceeds kMaxPayload.
    bool DecodePayload(const uint8_t* payload, size_t length, const uint8_t** message,
                       size_t* messageLength);

  private:
    CDeflateCodec m_codec;
};

}  // namespace zot
