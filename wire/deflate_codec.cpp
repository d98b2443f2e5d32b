#include "deflate_codec.h"

namespace zot {

CDeflateCodec::CDeflateCodec() = default;

CDeflateCodec::~CDeflateCodec() {
    if (m_deflateLevel >= 0) deflateEnd(&m_deflate);
    if (m_inflateReady) inflateEnd(&m_inflate);
}

bool CDeflateCodec::Compress(const uint8_t* input, size_t length, int level) {
    m_outputSize = 0;
    if (m_deflateLevel != level) {
        if (m_deflateLevel >= 0) deflateEnd(&m_deflate);
        m_deflate = z_stream{};
        m_deflateLevel = -1;
        // Default window (15 bits) and memory level (8): the peer inflates with defaults.
        if (deflateInit2(&m_deflate, level, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            return false;
        m_deflateLevel = level;
    } else if (deflateReset(&m_deflate) != Z_OK) {
        return false;
    }
    m_deflate.next_in = const_cast<Bytef*>(input);
    m_deflate.avail_in = static_cast<uInt>(length);
    m_deflate.next_out = m_output;
    m_deflate.avail_out = kOutputSize;
    if (deflate(&m_deflate, Z_FINISH) != Z_STREAM_END) return false;
    m_outputSize = kOutputSize - m_deflate.avail_out;
    return m_outputSize > 0;
}

bool CDeflateCodec::Decompress(const uint8_t* input, size_t length) {
    m_outputSize = 0;
    if (!m_inflateReady) {
        m_inflate = z_stream{};
        if (inflateInit(&m_inflate) != Z_OK) return false;
        m_inflateReady = true;
    } else if (inflateReset(&m_inflate) != Z_OK) {
        return false;
    }
    m_inflate.next_in = const_cast<Bytef*>(input);
    m_inflate.avail_in = static_cast<uInt>(length);
    m_inflate.next_out = m_output;
    m_inflate.avail_out = kOutputSize;
    if (inflate(&m_inflate, Z_FINISH) != Z_STREAM_END) return false;
    m_outputSize = kOutputSize - m_inflate.avail_out;
    return m_outputSize > 0;
}

}  // namespace zot
