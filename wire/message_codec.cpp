#include "message_codec.h"

namespace zot {

size_t CMessageCodec::EncodeMessage(const uint8_t* message, size_t length, bool compress,
                                    uint8_t* frame) {
    if (length == 0 || length > kMaxPayload) return 0;
    if (compress) {
        if (!m_codec.Compress(message, length, 6)) return 0;
        if (m_codec.OutputSize() <= kMaxPayload)
            return EncodeFrame(m_codec.Output(), m_codec.OutputSize(), frame);
    }
    return EncodeFrame(message, length, frame);
}

bool CMessageCodec::DecodePayload(const uint8_t* payload, size_t length, const uint8_t** message,
                                  size_t* messageLength) {
    if (length == 0) return false;
    if (payload[0] != kZlibFirstByte) {
        *message = payload;
        *messageLength = length;
        return true;
    }
    if (!m_codec.Decompress(payload, length) || m_codec.OutputSize() > kMaxPayload) return false;
    *message = m_codec.Output();
    *messageLength = m_codec.OutputSize();
    return true;
}

}  // namespace zot
