// The request engine against a hand-driven terminal on a pseudo-terminal: exact bytes out,
// any bytes back, any timing.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>
#include <optional>
#include <thread>

#include "pty_peer.h"
#include "remote_app.h"
#include "remote_calls.h"
#include "scripted_line.h"

namespace zot::test {
namespace {

using namespace std::chrono_literals;

const Bytes kVersionData = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0};

class RequestEngine : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(app.LumoInitDevice(peer.SlavePath(), 115200, 0), 1);
        app.SetReplyTimeout(400);
    }

    std::future<int> GetVersionAsync() {
        return std::async(std::launch::async, [this] { return calls::GetVersion(app, &version); });
    }

    void Answer(const Request& r, const Bytes& data, bool compress = false) {
        peer.SendRaw(
            PtyPeer::Frame(PtyPeer::ReplyMessage(r.command(), r.sequence(), data), compress));
    }

    PtyPeer peer;
    CRemoteApp app;
    VersionInfo version{};
};

TEST_F(RequestEngine, FirstRequestIsTheWorkedExampleFrame) {
    auto call = GetVersionAsync();
    auto r = peer.NextRequest();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->frame, (Bytes{0x02, 0x07, 0x00, 0x10, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xE9}));
    Answer(*r, kVersionData);
    EXPECT_EQ(call.get(), 1);
    EXPECT_EQ(version.major, 1u);
    EXPECT_EQ(version.minor, 2u);
    EXPECT_EQ(version.build, 3u);
}

TEST_F(RequestEngine, CompressionSwitchDecidesHowRequestsGoOut) {
    app.Link().SetCompression(true);
    auto call = GetVersionAsync();
    auto r = peer.NextRequest();
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->compressed);
    EXPECT_EQ(r->frame[3], 0x78);
    EXPECT_EQ(r->message, (Bytes{0x10, 0, 0, 1, 0, 0, 0}));
    Answer(*r, kVersionData);  // plain reply to a compressed request
    EXPECT_EQ(call.get(), 1);
}

TEST_F(RequestEngine, CompressedReplyIsAcceptedWithCompressionOff) {
    auto call = GetVersionAsync();
    auto r = peer.NextRequest();
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->compressed);
    Answer(*r, kVersionData, true);
    EXPECT_EQ(call.get(), 1);
}

// A loss is known within one round trip; waiting out the 5 s time-out would waste the line.
TEST_F(RequestEngine, CorruptedReplyEndsTheAttemptAtOnce) {
    app.SetReplyTimeout(5000);
    auto call = GetVersionAsync();
    auto r = peer.NextRequest();
    ASSERT_TRUE(r);
    Bytes f = PtyPeer::Frame(PtyPeer::ReplyMessage(0, r->sequence(), kVersionData));
    f[5] ^= 0x01;  // a flipped bit in the payload: the checksum fails
    peer.SendRaw(f);
    auto retry = peer.NextRequest(2000);
    ASSERT_TRUE(retry) << "retry came only after the time-out";
    EXPECT_EQ(retry->sequence(), r->sequence() + 1);
    Answer(*retry, kVersionData);
    EXPECT_EQ(call.get(), 1);
}

TEST_F(RequestEngine, ReplyWhoseStartByteWasLostEndsTheAttemptAtOnce) {
    app.SetReplyTimeout(5000);
    auto call = GetVersionAsync();
    auto r = peer.NextRequest();
    ASSERT_TRUE(r);
    Bytes f = PtyPeer::Frame(PtyPeer::ReplyMessage(0, r->sequence(), kVersionData));
    peer.SendRaw(Bytes(f.begin() + 1, f.end()));
    auto retry = peer.NextRequest(2000);
    ASSERT_TRUE(retry);
    Answer(*retry, kVersionData);
    EXPECT_EQ(call.get(), 1);
}

// The engine on a line in memory under a manual clock: every wait and every retry below is
// exact to the nanosecond, however loaded the machine.
class ExactEngine : public ::testing::Test {
  protected:
    void SetUp() override {
        auto line =
            std::make_unique<ScriptedLine>(clock, [this](ScriptedLine& l, const Request& r) {
                if (terminal) terminal(l, r);
            });
        m_line = line.get();
        ASSERT_EQ(app.Link().OpenPort(std::move(line), false), 1);
        app.Link().SetCompression(false);
    }
    const std::vector<ScriptedLine::Sent>& Requests() const { return m_line->Requests(); }
    double MsSince(CManualClock::TimePoint t) const { return MsBetween(t, clock.Now()); }
    static Bytes Corrupted(const Request& r, const Bytes& data) {
        Bytes f = PtyPeer::Frame(PtyPeer::ReplyMessage(r.command(), r.sequence(), data));
        f[5] ^= 0x01;  // the checksum fails
        return f;
    }

    CManualClock clock;
    CRemoteApp app{clock};
    ScriptedLine::Terminal terminal;
    VersionInfo version{};

  private:
    ScriptedLine* m_line = nullptr;
};

TEST_F(ExactEngine, ReplySplitByAPauseShorterThanTheByteGapIsAssembled) {
    terminal = [](ScriptedLine& line, const Request& r) {
        const Bytes f = PtyPeer::Frame(PtyPeer::ReplyMessage(0, r.sequence(), kVersionData));
        line.SendAfter(1, Bytes(f.begin(), f.begin() + 6));
        line.SendAfter(1 + CSerialLink::kByteWaitMs - 1, Bytes(f.begin() + 6, f.end()));
    };
    EXPECT_EQ(calls::GetVersion(app, &version), 1);
    EXPECT_EQ(Requests().size(), 1u);
}

TEST_F(ExactEngine, ReplyCutByAPauseLongerThanTheByteGapIsLostAndTheCallRetries) {
    terminal = [](ScriptedLine& line, const Request& r) {
        const Bytes f = PtyPeer::Frame(PtyPeer::ReplyMessage(0, r.sequence(), kVersionData));
        if (r.sequence() == 1) {
            line.SendAfter(1, Bytes(f.begin(), f.begin() + 6));
            // The rest arrives without its start: noise to the reader.
            line.SendAfter(1 + CSerialLink::kByteWaitMs + 1, Bytes(f.begin() + 6, f.end()));
        } else {
            line.SendAfter(1, f);
        }
    };
    EXPECT_EQ(calls::GetVersion(app, &version), 1);
    ASSERT_EQ(Requests().size(), 2u);
    // Re-sent as soon as the gap showed the frame was cut, not after the reply timeout.
    EXPECT_EQ(MsBetween(Requests()[0].at, Requests()[1].at), 1 + CSerialLink::kByteWaitMs);
}

// Broken frames end their attempts early; they must not use up the attempts a terminal that
// would answer in the end is owed.
TEST_F(ExactEngine, DamagedFramesBeforeTheAnswerCostNothingOfTheAttemptBudget) {
    terminal = [](ScriptedLine& line, const Request& r) {
        if (r.sequence() <= 6)
            line.SendAfter(5, Corrupted(r, kVersionData));
        else
            line.AnswerAfter(5, r, kVersionData);
    };
    const auto start = clock.Now();
    EXPECT_EQ(calls::GetVersion(app, &version), 1);
    ASSERT_EQ(Requests().size(), 7u);
    for (size_t i = 0; i < Requests().size(); ++i)
        EXPECT_EQ(Requests()[i].request.sequence(), i + 1);
    EXPECT_EQ(MsSince(start), 7 * 5);
}

TEST_F(ExactEngine, RepliesDamagedForEverEndAfterTheEarlyBoundAndFourWholeWaits) {
    terminal = [](ScriptedLine& line, const Request& r) {
        line.SendAfter(5, Corrupted(r, kVersionData));
    };
    const auto start = clock.Now();
    EXPECT_EQ(calls::GetVersion(app, &version), 0);
    EXPECT_EQ(Requests().size(), static_cast<size_t>(CRemoteApp::kMaxEarlyRetries + 4));
    EXPECT_EQ(MsSince(start), CRemoteApp::kMaxEarlyRetries * 5 + 4 * 5000);
}

TEST_F(ExactEngine, SilentTerminalGetsExactlyFourAttemptsOfTheWholeTimeout) {
    const auto start = clock.Now();
    EXPECT_EQ(calls::GetVersion(app, &version), 0);
    ASSERT_EQ(Requests().size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(MsBetween(start, Requests()[i].at), 5000.0 * static_cast<double>(i));
    EXPECT_EQ(MsSince(start), 20000);
}

// A write whose request was lost on the way gets no answer; waiting out more than about one
// round trip for it wastes the line.
TEST_F(ExactEngine, LostWriteIsRetriedAboutOneRoundTripAfterItWasSent) {
    constexpr double kTurnaroundMs = 2;
    auto lineMs = [](size_t bytes) { return static_cast<double>(bytes) * 10 * 1000 / 115200; };
    bool loseNextWrite = false;
    terminal = [&](ScriptedLine& line, const Request& r) {
        Bytes reply(8);
        if (r.command() == kWriteFile) {
            if (std::exchange(loseNextWrite, false)) return;
            PutU32(reply.data(), GetU32(r.data().data() + 4));
            PutU32(reply.data() + 4, 1);
        } else {
            reply = {1, 0, 0, 0};
        }
        const Bytes frame = PtyPeer::Frame(PtyPeer::ReplyMessage(r.command(), r.sequence(), reply));
        line.SendAfter(lineMs(r.frame.size() + frame.size()) + kTurnaroundMs, frame);
    };
    const Bytes block(1024, 0x55);
    uint32_t written = 0;
    for (int i = 0; i < 8; ++i)
        ASSERT_EQ(calls::WriteFile(app, 7, block.data(), 1024, &written), 1);
    const double roundTripMs = MsBetween(Requests()[0].at, Requests()[1].at);
    loseNextWrite = true;
    ASSERT_EQ(calls::WriteFile(app, 7, block.data(), 1024, &written), 1);
    ASSERT_EQ(Requests().size(), 11u);  // the lost write, the rewind, the write again
    EXPECT_EQ(Requests()[9].request.command(), kSetFilePosToPre);
    const double waitedMs = MsBetween(Requests()[8].at, Requests()[9].at);
    EXPECT_GT(waitedMs, roundTripMs);
    EXPECT_LT(waitedMs, 2 * roundTripMs);
}

TEST_F(RequestEngine, LineNoiseBeforeTheStartByteIsSkipped) {
    auto call = GetVersionAsync();
    auto r = peer.NextRequest();
    ASSERT_TRUE(r);
    Bytes noisy = {0x00, 0xFF, 0x7E, 0x0D, 0x0A};
    const Bytes f = PtyPeer::Frame(PtyPeer::ReplyMessage(0, r->sequence(), kVersionData));
    noisy.insert(noisy.end(), f.begin(), f.end());
    peer.SendRaw(noisy);
    EXPECT_EQ(call.get(), 1);
}

TEST_F(RequestEngine, StaleReplyIsIgnoredAndTheRightOneInTheSameChunkIsTaken) {
    auto call = GetVersionAsync();
    auto r = peer.NextRequest();
    ASSERT_TRUE(r);
    Bytes wrongData = kVersionData;
    wrongData[0] = 99;
    Bytes both = PtyPeer::Frame(PtyPeer::ReplyMessage(0, r->sequence() - 1, wrongData));
    const Bytes right = PtyPeer::Frame(PtyPeer::ReplyMessage(0, r->sequence(), kVersionData));
    both.insert(both.end(), right.begin(), right.end());
    peer.SendRaw(both);
    EXPECT_EQ(call.get(), 1);
    EXPECT_EQ(version.major, 1u);
}

TEST_F(RequestEngine, LateReplyToAnEarlierAttemptIsNeverAccepted) {
    auto call = GetVersionAsync();
    auto first = peer.NextRequest();
    ASSERT_TRUE(first);
    auto second = peer.NextRequest();  // after the first attempt timed out
    ASSERT_TRUE(second);
    Bytes wrongData = kVersionData;
    wrongData[0] = 99;
    Answer(*first, wrongData);  // too late for the first, stale for the second
    auto third = peer.NextRequest();
    ASSERT_TRUE(third);
    Answer(*third, kVersionData);
    EXPECT_EQ(call.get(), 1);
    EXPECT_EQ(version.major, 1u);
}

TEST_F(RequestEngine, TerminalAnsweringOnlyTheThirdAttemptSucceeds) {
    const uint32_t before = app.CurrentSequence();
    auto call = GetVersionAsync();
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(peer.NextRequest());
    auto third = peer.NextRequest();
    ASSERT_TRUE(third);
    Answer(*third, kVersionData);
    EXPECT_EQ(call.get(), 1);
    EXPECT_EQ(app.CurrentSequence(), before + 3);
}

TEST_F(RequestEngine, SilentTerminalFailsAfterFourAttempts) {
    auto call = GetVersionAsync();
    std::vector<uint16_t> seqs;
    while (auto r = peer.NextRequest(1000)) seqs.push_back(r->sequence());
    EXPECT_EQ(call.get(), 0);
    EXPECT_EQ(seqs, (std::vector<uint16_t>{1, 2, 3, 4}));
}

// The port is open, so what is quiet is the terminal: errno 0 tells a caller so.
TEST_F(RequestEngine, CallWithoutAnswerLeavesErrnoZero) {
    app.SetReplyTimeout(20);
    errno = EAGAIN;
    EXPECT_EQ(calls::GetVersion(app, &version), 0);
    EXPECT_EQ(errno, 0);
}

TEST_F(RequestEngine, WrongReplyLengthFailsAtOnceWithoutRetry) {
    auto call = GetVersionAsync();
    auto r = peer.NextRequest();
    ASSERT_TRUE(r);
    Answer(*r, Bytes(11, 0));
    EXPECT_EQ(call.get(), 0);
    EXPECT_FALSE(peer.NextRequest(600));
}

TEST_F(RequestEngine, ReplyClaimingMoreThanAMessageHoldsIsNeverAccepted) {
    auto call = GetVersionAsync();
    auto r = peer.NextRequest();
    ASSERT_TRUE(r);
    Bytes m = PtyPeer::ReplyMessage(0, r->sequence(), kVersionData);
    PutU16(m.data() + 5, 2042);
    peer.SendRaw(PtyPeer::Frame(m));
    auto retry = peer.NextRequest();
    ASSERT_TRUE(retry);
    Answer(*retry, kVersionData);
    EXPECT_EQ(call.get(), 1);
}

TEST_F(RequestEngine, RequestTypeFramesAreNotReplies) {
    auto call = GetVersionAsync();
    auto r = peer.NextRequest();
    ASSERT_TRUE(r);
    Bytes m = PtyPeer::ReplyMessage(0, r->sequence(), kVersionData);
    m[0] = kTypeRequest;
    peer.SendRaw(PtyPeer::Frame(m));
    auto retry = peer.NextRequest();
    ASSERT_TRUE(retry);
    Answer(*retry, kVersionData);
    EXPECT_EQ(call.get(), 1);
}

TEST_F(RequestEngine, SequenceCounterWrapsFrom65535ToZero) {
    app.SetSequenceForTesting(65534);
    for (uint16_t expected : {uint16_t{65535}, uint16_t{0}, uint16_t{1}}) {
        auto call = GetVersionAsync();
        auto r = peer.NextRequest();
        ASSERT_TRUE(r);
        EXPECT_EQ(r->sequence(), expected);
        Answer(*r, kVersionData);
        EXPECT_EQ(call.get(), 1);
    }
}

TEST_F(RequestEngine, RetriedReadRewindsWithTheFailedSequenceFirst) {
    uint8_t buffer[10];
    uint32_t got = 0;
    auto call =
        std::async(std::launch::async, [&] { return calls::ReadFile(app, 7, buffer, 10, &got); });
    auto read1 = peer.NextRequest();
    ASSERT_TRUE(read1);
    EXPECT_EQ(read1->command(), kReadFile);
    auto rewind = peer.NextRequest();  // read1 went unanswered
    ASSERT_TRUE(rewind);
    EXPECT_EQ(rewind->command(), kSetFilePosToPre);
    Bytes expect(8);
    PutU32(expect.data(), 7);
    PutU32(expect.data() + 4, read1->sequence());
    EXPECT_EQ(rewind->data(), expect);
    Answer(*rewind, {1, 0, 0, 0});
    auto read2 = peer.NextRequest();
    ASSERT_TRUE(read2);
    EXPECT_EQ(read2->command(), kReadFile);
    EXPECT_EQ(read2->data(), read1->data());
    Bytes data(4 + 10 + 4, 0);
    PutU32(data.data(), 10);
    for (int i = 0; i < 10; ++i) data[4 + i] = static_cast<uint8_t>(i);
    PutU32(data.data() + 14, 1);
    Answer(*read2, data);
    EXPECT_EQ(call.get(), 1);
    EXPECT_EQ(got, 10u);
    EXPECT_EQ(buffer[9], 9);
}

TEST_F(RequestEngine, ReadGivesUpWhenTheRewindFails) {
    uint8_t buffer[10];
    uint32_t got = 99;
    auto call =
        std::async(std::launch::async, [&] { return calls::ReadFile(app, 7, buffer, 10, &got); });
    std::vector<uint16_t> commands;
    while (auto r = peer.NextRequest(1000)) commands.push_back(r->command());
    EXPECT_EQ(call.get(), 0);
    EXPECT_EQ(got, 0u);
    // One read, then the rewind's four attempts, then nothing.
    EXPECT_EQ(commands, (std::vector<uint16_t>{kReadFile, kSetFilePosToPre, kSetFilePosToPre,
                                               kSetFilePosToPre, kSetFilePosToPre}));
}

TEST_F(RequestEngine, ReadReplyWithMoreBytesThanAskedIsRefused) {
    uint8_t buffer[4] = {};
    uint32_t got = 0;
    auto call =
        std::async(std::launch::async, [&] { return calls::ReadFile(app, 7, buffer, 4, &got); });
    auto r = peer.NextRequest();
    ASSERT_TRUE(r);
    Bytes data(4 + 8 + 4, 0xAB);
    PutU32(data.data(), 8);
    PutU32(data.data() + 12, 1);
    Answer(*r, data);
    EXPECT_EQ(call.get(), 0);
    EXPECT_EQ(got, 0u);
}

// Answers the write as a terminal that wrote every byte.
void AnswerWrite(PtyPeer& peer, const Request& r) {
    Bytes data(8);
    PutU32(data.data(), GetU32(r.data().data() + 4));
    PutU32(data.data() + 4, 1);
    peer.SendRaw(PtyPeer::Frame(PtyPeer::ReplyMessage(r.command(), r.sequence(), data)));
}

class EarlyRetry : public RequestEngine {
  protected:
    // A few answered writes teach the engine the link's round trip.
    void LearnTheLink() {
        const uint8_t block[16] = {};
        for (int i = 0; i < 3; ++i) {
            uint32_t written = 0;
            auto call = std::async(std::launch::async,
                                   [&] { return calls::WriteFile(app, 7, block, 16, &written); });
            auto r = peer.NextRequest();
            ASSERT_TRUE(r);
            AnswerWrite(peer, *r);
            ASSERT_EQ(call.get(), 1);
        }
    }
    const uint8_t m_block[16] = {1, 2, 3};
    uint32_t m_written = 0;
    std::future<int> WriteAsync() {
        return std::async(std::launch::async,
                          [this] { return calls::WriteFile(app, 7, m_block, 16, &m_written); });
    }
};

TEST_F(EarlyRetry, LostWriteIsRewoundAndRetriedLongBeforeTheReplyTimeout) {
    app.SetReplyTimeout(5000);
    LearnTheLink();
    auto call = WriteAsync();
    auto lost = peer.NextRequest();
    ASSERT_TRUE(lost);
    const auto sent = std::chrono::steady_clock::now();
    auto rewind = peer.NextRequest();
    ASSERT_TRUE(rewind);
    EXPECT_LT(std::chrono::steady_clock::now() - sent, 1500ms);
    EXPECT_EQ(rewind->command(), kSetFilePosToPre);
    EXPECT_EQ(GetU32(rewind->data().data() + 4), lost->sequence());
    Answer(*rewind, {1, 0, 0, 0});
    auto retry = peer.NextRequest();
    ASSERT_TRUE(retry);
    EXPECT_EQ(retry->data(), lost->data());
    AnswerWrite(peer, *retry);
    EXPECT_EQ(call.get(), 1);
    EXPECT_EQ(m_written, 16u);
}

TEST_F(EarlyRetry, StillFourAttemptsAndTheLastWaitsTheWholeReplyTimeout) {
    app.SetReplyTimeout(2000);
    LearnTheLink();
    auto call = WriteAsync();
    std::vector<std::chrono::steady_clock::time_point> writes;
    while (auto r = peer.NextRequest(2500)) {
        if (r->command() == kSetFilePosToPre)
            Answer(*r, {1, 0, 0, 0});
        else
            writes.push_back(std::chrono::steady_clock::now());
    }
    ASSERT_EQ(call.wait_for(0ms), std::future_status::ready);
    EXPECT_EQ(call.get(), 0);
    ASSERT_EQ(writes.size(), 4u);
    EXPECT_LT(writes[1] - writes[0], 1000ms);
    // NextRequest gave up 2500 ms after the last write; the call ended in between.
    EXPECT_GE(std::chrono::steady_clock::now() - writes[3], 2000ms);
}

TEST_F(EarlyRetry, LateReplyToTheLostAttemptIsNeverAccepted) {
    app.SetReplyTimeout(5000);
    LearnTheLink();
    auto call = WriteAsync();
    auto slow = peer.NextRequest();
    ASSERT_TRUE(slow);
    auto rewind = peer.NextRequest();
    ASSERT_TRUE(rewind);
    // The terminal was only slow: its answer to the first attempt comes now, claiming nothing
    // was written, and must not be taken for the rewind's or the retry's.
    Bytes none(8, 0);
    peer.SendRaw(PtyPeer::Frame(PtyPeer::ReplyMessage(kWriteFile, slow->sequence(), none)));
    Answer(*rewind, {1, 0, 0, 0});
    auto retry = peer.NextRequest();
    ASSERT_TRUE(retry);
    peer.SendRaw(PtyPeer::Frame(PtyPeer::ReplyMessage(kWriteFile, slow->sequence(), none)));
    AnswerWrite(peer, *retry);
    EXPECT_EQ(call.get(), 1);
    EXPECT_EQ(m_written, 16u);
}

TEST_F(EarlyRetry, OtherCommandsKeepTheWholeReplyTimeout) {
    app.SetReplyTimeout(5000);
    LearnTheLink();
    EXPECT_EQ(app.AttemptTimeout(kCreateFile, 0), 5000);
    EXPECT_EQ(app.AttemptTimeout(kFindNextFile, 0), 5000);
    EXPECT_LT(app.AttemptTimeout(kWriteFile, 0), 1000);
    EXPECT_EQ(app.AttemptTimeout(kWriteFile, 3), 5000);
    // A new link may be a different terminal: nothing learnt is kept.
    ASSERT_EQ(app.LumoInitDevice(peer.SlavePath(), 115200, 0), 1);
    EXPECT_EQ(app.AttemptTimeout(kWriteFile, 0), 5000);
}

TEST_F(RequestEngine, FindRecordNameWithoutTerminatorIsReadAsExactlyHundredBytes) {
    FindRecord d;
    std::memset(static_cast<void*>(&d), 0xCC, sizeof d);
    auto call =
        std::async(std::launch::async, [&] { return calls::FindFirstFile(app, "ZOT:\\*.*", &d); });
    auto r = peer.NextRequest();
    ASSERT_TRUE(r);
    Bytes record(124, 'n');
    PutU32(record.data(), 0x20);
    PutU32(record.data() + 16, 0xFFFFFFFF);  // 4 GiB - 1: an unsigned size
    PutU32(record.data() + 120, 9);
    Answer(*r, record);
    EXPECT_EQ(call.get(), 9);
    EXPECT_EQ(std::string(d.name, sizeof d.name), std::string(100, 'n'));
    EXPECT_EQ(d.size, 0xFFFFFFFFu);
}

TEST_F(RequestEngine, FindHandleZeroIsMinusOneAndTheRecordIsStillCopied) {
    FindRecord d{};
    auto call =
        std::async(std::launch::async, [&] { return calls::FindFirstFile(app, "ZOT:\\*.*", &d); });
    auto r = peer.NextRequest();
    ASSERT_TRUE(r);
    Bytes record(124, 0);
    record[20] = 'x';
    Answer(*r, record);
    EXPECT_EQ(call.get(), -1);
    EXPECT_EQ(d.name[0], 'x');
}

// The next request of a block-wise read or write is framed while the current reply is on its
// way; what goes out must still be exactly the request's own frame, whatever was guessed.
TEST_F(RequestEngine, BlockReadsGoOutAsTheirOwnFramesAcrossARetry) {
    app.Link().SetCompression(true);
    std::vector<uint8_t> buffer(2048);
    uint32_t got = 0;
    auto call = std::async(std::launch::async,
                           [&] { return calls::ReadFile(app, 7, buffer.data(), 2048, &got); });
    auto block = [](uint8_t fill) {
        Bytes data(4 + 1024 + 4, fill);
        PutU32(data.data(), 1024);
        PutU32(data.data() + 4 + 1024, 1);
        return data;
    };
    std::vector<Request> seen;
    auto next = [&] {
        auto r = peer.NextRequest();
        EXPECT_TRUE(r);
        if (!r) return Request{};
        EXPECT_TRUE(r->compressed);
        EXPECT_EQ(r->frame, PtyPeer::Frame(r->message, true)) << "not the request's own frame";
        seen.push_back(*r);
        return *r;
    };
    // The first block left unanswered, the rewind, the first block again, the second block.
    const std::vector<std::optional<Bytes>> answers = {std::nullopt, Bytes{1, 0, 0, 0}, block(0xA1),
                                                       block(0xB2)};
    for (const auto& answer : answers) {
        const Request r = next();
        ASSERT_FALSE(r.message.empty());
        if (answer) Answer(r, *answer);
    }
    EXPECT_EQ(call.get(), 1);
    EXPECT_EQ(got, 2048u);
    EXPECT_EQ(buffer[1023], 0xA1);
    EXPECT_EQ(buffer[1024], 0xB2);
    ASSERT_EQ(seen.size(), 4u);
    const std::vector<uint16_t> commands = {seen[0].command(), seen[1].command(), seen[2].command(),
                                            seen[3].command()};
    EXPECT_EQ(commands, (std::vector<uint16_t>{kReadFile, kSetFilePosToPre, kReadFile, kReadFile}));
    for (size_t i = 1; i < seen.size(); ++i)
        EXPECT_EQ(seen[i].sequence(), static_cast<uint16_t>(seen[0].sequence() + i));
}

TEST_F(RequestEngine, AWrongGuessOfTheNextRequestChangesNothingOnTheLine) {
    app.Link().SetCompression(true);
    const Bytes guess = {9, 9, 9, 9};
    app.AnnounceFollowing(kCloseFile, guess.data(), guess.size());
    auto first = GetVersionAsync();
    auto r1 = peer.NextRequest();
    ASSERT_TRUE(r1);
    Answer(*r1, kVersionData);
    EXPECT_EQ(first.get(), 1);
    // Same command as guessed, other data.
    auto close = std::async(std::launch::async, [this] { return calls::CloseFile(app, 5); });
    auto r2 = peer.NextRequest();
    ASSERT_TRUE(r2);
    EXPECT_EQ(r2->command(), kCloseFile);
    EXPECT_EQ(r2->sequence(), static_cast<uint16_t>(r1->sequence() + 1));
    EXPECT_EQ(r2->data(), (Bytes{5, 0, 0, 0}));
    EXPECT_EQ(r2->frame, PtyPeer::Frame(r2->message, true));
    Answer(*r2, {1, 0, 0, 0});
    EXPECT_EQ(close.get(), 1);
}

TEST(SerialLink, OpenCloseAndReopen) {
    PtyPeer peer;
    CRemoteApp app;
    EXPECT_EQ(app.LumoUninit(), 1);  // closing a closed link is harmless
    ASSERT_EQ(app.LumoInitDevice(peer.SlavePath(), 115200, 1), 1);
    app.Link().Close();
    app.Link().Close();
    ASSERT_EQ(app.LumoInitDevice(peer.SlavePath(), 115200, 1), 1);
    ASSERT_EQ(app.LumoInitDevice(peer.SlavePath(), 115200, 1), 1);  // open while open
    EXPECT_EQ(app.SetBaudrate(9600), 1);
    EXPECT_EQ(app.Link().BaudRate(), 9600);
    EXPECT_EQ(app.LumoUninit(), 1);
}

// A pulled cable leaves a line that polls readable and reads nothing, for ever: the reader
// must still see its stop flag.
TEST(SerialLink, ClosesPromptlyAfterTheLineHungUp) {
    auto peer = std::make_unique<PtyPeer>();
    CRemoteApp app;
    ASSERT_EQ(app.LumoInitDevice(peer->SlavePath(), 115200, 1), 1);
    peer.reset();
    std::this_thread::sleep_for(100ms);  // let the reader meet the hang-up
    auto closed = std::async(std::launch::async, [&] { return app.LumoUninit(); });
    ASSERT_EQ(closed.wait_for(2s), std::future_status::ready) << "Close hangs on a dead line";
    EXPECT_EQ(closed.get(), 1);
}

// A call waits by reading the line itself; closing the link from another thread must end
// that wait soon, not after the reply timeout.
TEST(SerialLink, CloseEndsAWaitOnAnotherThreadSoon) {
    PtyPeer peer;
    CRemoteApp app;
    ASSERT_EQ(app.LumoInitDevice(peer.SlavePath(), 115200, 1), 1);
    app.SetReplyTimeout(20000);
    auto call = std::async(std::launch::async, [&] {
        VersionInfo v{};
        return calls::GetVersion(app, &v);
    });
    ASSERT_TRUE(peer.NextRequest());
    auto closed = std::async(std::launch::async, [&] { return app.LumoUninit(); });
    ASSERT_EQ(closed.wait_for(2s), std::future_status::ready) << "Close waits for the reply";
    EXPECT_EQ(closed.get(), 1);
    ASSERT_EQ(call.wait_for(2s), std::future_status::ready) << "the call outlives the link";
    EXPECT_EQ(call.get(), 0);
}

TEST(SerialLink, NegativePortIsRefusedAndKeepsTheStoredPort) {
    CRemoteApp app;
    ::setenv("COM7", "/nonexistent/tty", 1);
    EXPECT_EQ(app.LumoInit(7, 115200, 1), 0);
    EXPECT_EQ(app.LumoInit(-1, 115200, 1), 0);
    EXPECT_EQ(app.Link().PortNumber(), 7);
}

TEST(SerialLink, FailedInitKeepsTheCompressionSwitch) {
    CRemoteApp app;
    app.Link().SetCompression(false);
    EXPECT_EQ(app.LumoInitDevice("/nonexistent/tty", 115200, 1), 0);
    EXPECT_FALSE(app.Link().Compression());
}

TEST(SerialLink, SetBaudrateBeforeInitTriesPortZeroAndFails) {
    ::unsetenv("COM0");
    CRemoteApp app;
    EXPECT_EQ(app.SetBaudrate(115200), 0);
}

TEST(SerialLink, DeviceHeldByAnotherLinkIsRefused) {
    PtyPeer peer;
    CRemoteApp a, b;
    ASSERT_EQ(a.LumoInitDevice(peer.SlavePath(), 115200, 1), 1);
    EXPECT_EQ(b.LumoInitDevice(peer.SlavePath(), 115200, 1), 0);
    a.LumoUninit();
    EXPECT_EQ(b.LumoInitDevice(peer.SlavePath(), 115200, 1), 1);
}

TEST(SerialLink, ReadChunkOfZeroBytesDoesNotTouchThePort) {
    CRemoteApp app;
    uint8_t b;
    EXPECT_EQ(app.Link().ReadChunk(&b, 0, 1000), 0u);
}

}  // namespace
}  // namespace zot::test
