#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "deflate_codec.h"
#include "frame_codec.h"
#include "message_codec.h"

namespace zot {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Encode(const Bytes& payload) {
    Bytes frame(kMaxFrame);
    frame.resize(EncodeFrame(payload.data(), payload.size(), frame.data()));
    return frame;
}

// Feeds a byte stream and collects the frames and losses it yields.
struct Parsed {
    std::vector<Bytes> frames;
    int bad = 0;
};
Parsed Parse(const Bytes& stream, FrameParser& parser) {
    Parsed out;
    for (uint8_t b : stream) {
        switch (parser.Feed(b)) {
            case FrameParser::Result::kFrame:
                out.frames.emplace_back(parser.Payload(), parser.Payload() + parser.Length());
                break;
            case FrameParser::Result::kBadFrame:
                ++out.bad;
                break;
            case FrameParser::Result::kNone:
                break;
        }
    }
    return out;
}
Parsed Parse(const Bytes& stream) {
    FrameParser parser;
    return Parse(stream, parser);
}

TEST(FrameEncoding, FirstGetVersionRequestMatchesTheWorkedExample) {
    const Bytes msg = {0x10, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00};
    EXPECT_EQ(Encode(msg),
              (Bytes{0x02, 0x07, 0x00, 0x10, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xE9}));
}

TEST(FrameEncoding, StoreInformationRequestEscapesTheSequenceByte) {
    const Bytes msg = {0x10, 0x03, 0x00, 0x02, 0x00, 0x04, 0x00, 0x01, 0x00, 0x00, 0x00};
    EXPECT_EQ(Encode(msg), (Bytes{0x02, 0x0B, 0x00, 0x10, 0x03, 0x00, 0x7E, 0x22, 0x00, 0x04, 0x00,
                                  0x01, 0x00, 0x00, 0x00, 0xE0}));
}

TEST(FrameEncoding, EscapesExactlyTheFiveSpecialBytes) {
    struct Case {
        uint8_t in;
        Bytes out;
    } cases[] = {{0x02, {0x7E, 0x22}}, {0x0A, {0x7E, 0x2A}}, {0x0D, {0x7E, 0x2D}},
                 {0x1B, {0x7E, 0x3B}}, {0x7E, {0x7E, 0x5E}}, {0x03, {0x03}},
                 {0x22, {0x22}},       {0x5E, {0x5E}},       {0xFF, {0xFF}}};
    for (const auto& c : cases) {
        uint8_t out[2];
        const size_t n = EscapeByte(c.in, out);
        EXPECT_EQ(Bytes(out, out + n), c.out) << int(c.in);
    }
}

TEST(FrameEncoding, ChecksumThatIsAStartByteIsEscaped) {
    // Find a one-byte payload whose checksum is 0x02: 0xFF ^ 1 ^ 0 ^ b == 0x02.
    const uint8_t b = 0xFF ^ 0x01 ^ 0x02;
    const Bytes frame = Encode({b});
    ASSERT_EQ(FrameChecksum(&b, 1), 0x02);
    EXPECT_EQ(Bytes(frame.end() - 2, frame.end()), (Bytes{0x7E, 0x22}));
    EXPECT_EQ(Parse(frame).frames, std::vector<Bytes>{{b}});
}

TEST(FrameEncoding, RefusesPayloadsOverTheLimit) {
    Bytes big(kMaxPayload + 1, 0);
    Bytes out(kMaxFrame + 4);
    EXPECT_EQ(EncodeFrame(big.data(), big.size(), out.data()), 0u);
}

TEST(FrameEncoding, WorstCasePayloadFitsTheFrameBuffer) {
    Bytes all(kMaxPayload, 0x7E);
    Bytes out(kMaxFrame);
    const size_t n = EncodeFrame(all.data(), all.size(), out.data());
    EXPECT_LE(n, kMaxFrame);
    EXPECT_EQ(Parse(Bytes(out.begin(), out.begin() + n)).frames, std::vector<Bytes>{all});
}

TEST(FrameParsing, RoundTripsEverySpecialByte) {
    const Bytes payload = {0x11, 0x02, 0x0A, 0x0D, 0x1B, 0x7E, 0x00, 0xFF, 0x20, 0x5E};
    EXPECT_EQ(Parse(Encode(payload)).frames, std::vector<Bytes>{payload});
}

TEST(FrameParsing, GivesTheSameFramesForEverySplitOfTheStream) {
    const Bytes a = {0x11, 0x05, 0x00, 0x7E, 0x02, 0x0D};
    const Bytes b = {0x11, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00};
    Bytes stream = {0xAA, 0x0D, 0x0A};  // line noise first
    for (const Bytes* p : {&a, &b}) {
        const Bytes f = Encode(*p);
        stream.insert(stream.end(), f.begin(), f.end());
    }
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        FrameParser parser;
        Parsed first = Parse(Bytes(stream.begin(), stream.begin() + cut), parser);
        Parsed rest = Parse(Bytes(stream.begin() + cut, stream.end()), parser);
        first.frames.insert(first.frames.end(), rest.frames.begin(), rest.frames.end());
        EXPECT_EQ(first.frames, (std::vector<Bytes>{a, b})) << "cut at " << cut;
        EXPECT_EQ(first.bad + rest.bad, 0);
    }
}

TEST(FrameParsing, DeliversTwoFramesOfOneChunkBoth) {
    const Bytes a = {1, 2, 3}, b = {4, 5, 6, 7};
    Bytes stream = Encode(a);
    const Bytes fb = Encode(b);
    stream.insert(stream.end(), fb.begin(), fb.end());
    EXPECT_EQ(Parse(stream).frames, (std::vector<Bytes>{a, b}));
}

TEST(FrameParsing, DropsABadChecksumAndKeepsTheNextFrame) {
    Bytes bad = Encode({9, 9, 9});
    bad.back() ^= 0x01;
    const Bytes good = Encode({1});
    bad.insert(bad.end(), good.begin(), good.end());
    const Parsed p = Parse(bad);
    EXPECT_EQ(p.frames, std::vector<Bytes>{{1}});
    EXPECT_EQ(p.bad, 1);
}

TEST(FrameParsing, RejectsALengthOverTheLimit) {
    const Bytes stream = {0x02, 0x01, 0x08};  // L = 2049
    EXPECT_EQ(Parse(stream).bad, 1);
}

TEST(FrameParsing, StartByteInsideAFrameStartsAFreshOne) {
    Bytes cut = Encode({1, 2, 3, 4, 5});
    cut.resize(4);
    const Bytes good = Encode({7});
    cut.insert(cut.end(), good.begin(), good.end());
    const Parsed p = Parse(cut);
    EXPECT_EQ(p.frames, std::vector<Bytes>{{7}});
    EXPECT_EQ(p.bad, 1);
}

TEST(FrameParsing, AbandonForgetsAPartialFrame) {
    FrameParser parser;
    Bytes f = Encode({1, 2, 3});
    Parse(Bytes(f.begin(), f.begin() + 4), parser);
    EXPECT_TRUE(parser.InFrame());
    EXPECT_TRUE(parser.Abandon());
    EXPECT_FALSE(parser.InFrame());
    EXPECT_TRUE(Parse(Bytes(f.begin() + 4, f.end()), parser).frames.empty());
    EXPECT_FALSE(parser.Abandon());
}

TEST(FrameParsing, EmptyPayloadIsAFrame) {
    EXPECT_EQ(Parse(Encode({})).frames, std::vector<Bytes>{Bytes{}});
}

TEST(Compression, RequestsAreZlibStreamsThatInflateToThePlainMessage) {
    const Bytes msg = {0x10, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00};
    CMessageCodec tx, rx;
    Bytes frame(kMaxFrame);
    frame.resize(tx.EncodeMessage(msg.data(), msg.size(), true, frame.data()));
    const Parsed p = Parse(frame);
    ASSERT_EQ(p.frames.size(), 1u);
    EXPECT_EQ(p.frames[0][0], 0x78);
    const uint8_t* plain;
    size_t n;
    ASSERT_TRUE(rx.DecodePayload(p.frames[0].data(), p.frames[0].size(), &plain, &n));
    EXPECT_EQ(Bytes(plain, plain + n), msg);
}

TEST(Compression, PlainPayloadsPassThrough) {
    const Bytes msg = {0x11, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00};
    CMessageCodec rx;
    const uint8_t* plain;
    size_t n;
    ASSERT_TRUE(rx.DecodePayload(msg.data(), msg.size(), &plain, &n));
    EXPECT_EQ(Bytes(plain, plain + n), msg);
}

TEST(Compression, RejectsPayloadsThatDoNotInflate) {
    const Bytes junk = {0x78, 0x9C, 0x01, 0x02, 0x03};
    CMessageCodec rx;
    const uint8_t* plain;
    size_t n;
    EXPECT_FALSE(rx.DecodePayload(junk.data(), junk.size(), &plain, &n));
}

TEST(Compression, RejectsStreamsInflatingBeyondAMessage) {
    CDeflateCodec c;
    Bytes big(3000, 0x41);
    ASSERT_TRUE(c.Compress(big.data(), big.size()));
    Bytes z(c.Output(), c.Output() + c.OutputSize());
    CMessageCodec rx;
    const uint8_t* plain;
    size_t n;
    EXPECT_FALSE(rx.DecodePayload(z.data(), z.size(), &plain, &n));
}

TEST(Compression, IncompressibleMessagesStillGoOut) {
    std::mt19937 rng(7);
    Bytes msg(kMaxPayload);
    for (auto& b : msg) b = static_cast<uint8_t>(rng());
    msg[0] = 0x10;
    CMessageCodec tx, rx;
    Bytes frame(kMaxFrame);
    frame.resize(tx.EncodeMessage(msg.data(), msg.size(), true, frame.data()));
    ASSERT_FALSE(frame.empty());
    const Parsed p = Parse(frame);
    ASSERT_EQ(p.frames.size(), 1u);
    const uint8_t* plain;
    size_t n;
    ASSERT_TRUE(rx.DecodePayload(p.frames[0].data(), p.frames[0].size(), &plain, &n));
    EXPECT_EQ(Bytes(plain, plain + n), msg);
}

TEST(Compression, CodecIsReusableAcrossMessages) {
    CDeflateCodec c, d;
    for (int i = 0; i < 3; ++i) {
        Bytes msg(100 + i * 10, static_cast<uint8_t>(i));
        ASSERT_TRUE(c.Compress(msg.data(), msg.size()));
        ASSERT_TRUE(d.Decompress(c.Output(), c.OutputSize()));
        EXPECT_EQ(Bytes(d.Output(), d.Output() + d.OutputSize()), msg);
    }
}

}  // namespace
}  // namespace zot

namespace zot {
namespace {

TEST(FrameParsing, NoiseOutsideFramesIsReportedOnceUntilTheNextFrame) {
    FrameParser parser;
    EXPECT_FALSE(parser.TakeNoise());
    Parse({0x11, 0x22}, parser);
    EXPECT_TRUE(parser.TakeNoise());
    EXPECT_FALSE(parser.TakeNoise());
    Parse({0x33}, parser);
    Parse(Encode({1, 2}), parser);  // a frame start forgets the noise before it
    EXPECT_FALSE(parser.TakeNoise());
}

// What a parser yields over a stream: each result other than kNone, with the index of the
// byte that ended it and the payload of a good frame.
struct Event {
    size_t at;
    FrameParser::Result result;
    Bytes payload;
    bool operator==(const Event&) const = default;
};

TEST(FrameParsing, TakesRunsOfBytesWithTheSameResultsAsOneByteAtATime) {
    std::mt19937 rng(7);
    Bytes stream;
    for (int i = 0; i < 300; ++i) {
        Bytes payload(rng() % 1500);
        // Mostly the special bytes, so runs are cut often.
        for (auto& b : payload) b = (rng() % 3) ? static_cast<uint8_t>(rng()) : 0x7E;
        Bytes frame = Encode(payload);
        switch (rng() % 6) {
            case 0:
                frame.back() ^= 0x40;  // bad checksum
                break;
            case 1:
                frame.resize(frame.size() / 2);  // cut off by the next start byte
                break;
            case 2:
                stream.insert(stream.end(), {0x55, 0x0D, 0x0A});  // noise
                break;
        }
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    std::vector<Event> one, runs;
    FrameParser a;
    for (size_t i = 0; i < stream.size(); ++i) {
        const auto r = a.Feed(stream[i]);
        if (r == FrameParser::Result::kNone) continue;
        one.push_back({i, r,
                       r == FrameParser::Result::kFrame
                           ? Bytes(a.Payload(), a.Payload() + a.Length())
                           : Bytes{}});
    }
    FrameParser b;
    for (size_t i = 0; i < stream.size();) {
        size_t used = 0;
        const size_t run = std::min<size_t>(1 + rng() % 700, stream.size() - i);
        const auto r = b.Feed(stream.data() + i, run, &used);
        ASSERT_GE(used, 1u);
        ASSERT_LE(used, run);
        i += used;
        if (r == FrameParser::Result::kNone) {
            EXPECT_EQ(used, run);
            continue;
        }
        runs.push_back({i - 1, r,
                        r == FrameParser::Result::kFrame
                            ? Bytes(b.Payload(), b.Payload() + b.Length())
                            : Bytes{}});
    }
    EXPECT_GT(one.size(), 250u);
    EXPECT_EQ(runs, one);
}

}  // namespace
}  // namespace zot
