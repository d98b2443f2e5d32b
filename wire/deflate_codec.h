#pragma once
// One-shot zlib (RFC 1950) compression and inflation of one message. An object keeps its
// zlib stream between calls (reset, not rebuilt), so a link side pays the set-up once.
#include <zlib.h>

#include <cstddef>
#include <cstdint>

namespace zot {

class CDeflateCodec {
  public:
    // Large enough for any inflated message we accept, and for deflate's worst case of a
    // 2048-byte message.
    static constexpr size_t kOutputSize = 4096;

    CDeflateCodec();
    ~CDeflateCodec();
    CDeflateCodec(const CDeflateCodec&) = delete;
    CDeflateCodec& operator=(const CDeflateCodec&) = delete;

    // Both succeed only when the whole stream was produced or consumed in one call and fits
    // in the output buffer; the result is then Output()/OutputSize(), valid until the next call.
    bool Compress(const uint8_t* input, size_t length, int level = 6);
    bool Decompress(const uint8_t* input, size_t length);

    const uint8_t* Output() const { return m_output; }
    size_t OutputSize() const { return m_outputSize; }

  private:
    z_stream m_deflate{};
    z_stream m_inflate{};
    int m_deflateLevel = -1;  // level m_deflate was set up with; -1 none yet
    bool m_inflateReady = false;
    size_t m_outputSize = 0;
    uint8_t m_output[kOutputSize];
};

}  // namespace zot
