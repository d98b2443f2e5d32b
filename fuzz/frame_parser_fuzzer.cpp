// The receive path fed arbitrary line bytes: the streaming parser and the inflation of
// payloads must take anything, and every frame encoded must parse back to itself.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "frame_codec.h"
#include "message_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zot::FrameParser parser;
    zot::CMessageCodec codec;
    // The run-taking form, fed in runs whose lengths come from the data, must end the same
    // frames at the same bytes.
    zot::FrameParser bulk;
    size_t bulkEnd = 0;  // the byte after the one where bulk's last result came
    zot::FrameParser::Result bulkResult = zot::FrameParser::Result::kNone;
    for (size_t i = 0; i < size; ++i) {
        const zot::FrameParser::Result r = parser.Feed(data[i]);
        while (bulkEnd <= i && bulkEnd < size) {
            size_t used = 0;
            const size_t run = 1 + data[bulkEnd] % 64;
            bulkResult =
                bulk.Feed(data + bulkEnd, run < size - bulkEnd ? run : size - bulkEnd, &used);
            bulkEnd += used;
            if (bulkResult != zot::FrameParser::Result::kNone) break;
        }
        const bool bulkHere = bulkEnd == i + 1 && bulkResult != zot::FrameParser::Result::kNone;
        if (bulkHere != (r != zot::FrameParser::Result::kNone)) std::abort();
        if (bulkHere) {
            if (bulkResult != r) std::abort();
            bulkResult = zot::FrameParser::Result::kNone;
            if (r == zot::FrameParser::Result::kFrame &&
                (bulk.Length() != parser.Length() ||
                 std::memcmp(bulk.Payload(), parser.Payload(), parser.Length()) != 0))
                std::abort();
        }
        if (r != zot::FrameParser::Result::kFrame) continue;
        const uint8_t* message;
        size_t length;
        if (codec.DecodePayload(parser.Payload(), parser.Length(), &message, &length) &&
            length > zot::kMaxPayload)
            std::abort();
    }
    // Round trip: the input as one payload, plain and compressed.
    const size_t n = size < zot::kMaxPayload ? size : zot::kMaxPayload;
    static uint8_t frame[zot::kMaxFrame];
    for (bool compress : {false, true}) {
        const size_t f = n ? codec.EncodeMessage(data, n, compress, frame) : 0;
        if (f == 0) continue;
        zot::FrameParser back;
        int frames = 0;
        for (size_t i = 0; i < f; ++i) {
            if (back.Feed(frame[i]) != zot::FrameParser::Result::kFrame) continue;
            ++frames;
            const uint8_t* message;
            size_t length;
            zot::CMessageCodec rx;
            if (!rx.DecodePayload(back.Payload(), back.Length(), &message, &length)) {
                // A plain payload that happens to start like a zlib stream is read as one;
                // senders never produce those (messages start with their type byte).
                if (!compress && data[0] == zot::kZlibFirstByte) continue;
                std::abort();
            }
            if (!(compress == false && data[0] == zot::kZlibFirstByte) &&
                (length != n || std::memcmp(message, data, n) != 0))
                std::abort();
        }
        if (frames != 1) std::abort();
    }
    return 0;
}
