#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "bit_errors.h"
#include "fault_plan.h"
#include "protocol.h"
#include "sim_fixture.h"

namespace zotsim::test {
namespace {

using Faults = SimulatorTest;
using Clock = std::chrono::steady_clock;

Fault Make(Fault::Kind kind, uint32_t request, int delayMs = 0) {
    Fault f;
    f.kind = kind;
    f.request = request;
    f.delayMs = delayMs;
    return f;
}

TEST_F(Faults, DroppedReplyIsNotSentButTheRequestIsCarriedOut) {
    Start();
    m_sim->AddFault(Make(Fault::Kind::kDrop, 1));
    EXPECT_FALSE(Call(zot::kCreateDirectory, PathString("ZOT:\\made"), false, 300));
    EXPECT_TRUE(std::filesystem::is_directory(HostPath("made")));
    EXPECT_TRUE(Call(zot::kGetVersion));
}

TEST_F(Faults, StaleReplyEchoesThePreviousSequence) {
    Start();
    m_sim->AddFault(Make(Fault::Kind::kStale, 2));
    MustCall(zot::kGetVersion);
    const auto reply = Call(zot::kGetVersion);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->sequence, static_cast<uint16_t>(m_sequence - 1));
}

TEST_F(Faults, CorruptedReplyFailsItsChecksum) {
    Start();
    m_sim->AddFault(Make(Fault::Kind::kCorrupt, 1));
    EXPECT_FALSE(Call(zot::kGetSystemInfo, {}, false, 500));
    EXPECT_EQ(m_client.BadFrames(), 1);
    EXPECT_TRUE(Call(zot::kGetSystemInfo));
}

TEST_F(Faults, CorruptedCompressedReplyFailsItsChecksumToo) {
    Start();
    m_sim->AddFault(Make(Fault::Kind::kCorrupt, 1));
    EXPECT_FALSE(Call(zot::kGetSystemInfo, {}, true, 500));
    EXPECT_EQ(m_client.BadFrames(), 1);
}

TEST_F(Faults, DelayedReplyComesLate) {
    Start();
    m_sim->AddFault(Make(Fault::Kind::kDelay, 1, 300));
    const auto start = Clock::now();
    EXPECT_FALSE(Call(zot::kGetVersion, {}, false, 100));
    const auto reply = m_client.Receive(2000);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->sequence, m_sequence);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(290));
}

TEST_F(Faults, WrongLengthReplyHasOneExtraByte) {
    Start();
    m_sim->AddFault(Make(Fault::Kind::kWrongLength, 1));
    const auto reply = Call(zot::kGetVersion);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->data.size(), 13u);
}

TEST_F(Faults, SilenceLastsUntilCleared) {
    Start();
    m_sim->AddFault(Make(Fault::Kind::kSilence, 2));
    EXPECT_TRUE(Call(zot::kGetVersion));
    EXPECT_FALSE(Call(zot::kGetVersion, {}, false, 200));
    EXPECT_FALSE(Call(zot::kGetVersion, {}, false, 200));
    m_sim->ClearFaults();
    EXPECT_TRUE(Call(zot::kGetVersion));
}

TEST_F(Faults, CommandFaultAppliesToItsCountOfMatchingRequests) {
    Start();
    Fault f;
    f.kind = Fault::Kind::kDrop;
    f.command = zot::kReadFile;
    f.count = 2;
    m_sim->AddFault(f);
    WriteHostFile("a.txt", "abcdef");
    const uint32_t h = OpenFile("ZOT:\\a.txt");
    EXPECT_FALSE(Call(zot::kReadFile, U32s({h, 1}), false, 200));
    EXPECT_TRUE(Call(zot::kGetVersion));
    EXPECT_FALSE(Call(zot::kReadFile, U32s({h, 1}), false, 200));
    const auto third = Call(zot::kReadFile, U32s({h, 1}));
    ASSERT_TRUE(third);
    EXPECT_EQ(third->data[4], 'c');  // the dropped reads were still carried out
}

TEST_F(Faults, RetryAfterLostReadReadsTheSameBytes) {
    Start();
    WriteHostFile("a.txt", "0123456789");
    const uint32_t h = OpenFile("ZOT:\\a.txt");
    m_sim->AddFault(Make(Fault::Kind::kDrop, m_sim->RequestCount() + 1));
    EXPECT_FALSE(Call(zot::kReadFile, U32s({h, 4}), false, 200));
    const uint16_t lost = m_sequence;
    EXPECT_EQ(MustCall(zot::kSetFilePosToPre, U32s({h, lost})).U32(0), 1u);
    const auto retry = MustCall(zot::kReadFile, U32s({h, 4}));
    EXPECT_EQ(std::string(retry.data.begin() + 4, retry.data.begin() + 8), "0123");
}

}  // namespace
}  // namespace zotsim::test

namespace zotsim::test {
namespace {

TEST(BitErrors, FlipAboutTheGivenShareOfBitsAndRepeatWithTheSeed) {
    std::vector<uint8_t> a(1 << 20, 0), b(1 << 20, 0);
    CBitErrors ea(1e-4, 7), eb(1e-4, 7);
    const size_t flipped =
        ea.Apply(a.data(), a.size() / 2) + ea.Apply(a.data() + a.size() / 2, a.size() / 2);
    EXPECT_EQ(eb.Apply(b.data(), b.size()), flipped);
    EXPECT_EQ(a, b);
    const double expected = 1e-4 * 8 * (1 << 20);  // about 839
    EXPECT_GT(flipped, expected * 0.8);
    EXPECT_LT(flipped, expected * 1.2);
}

TEST(BitErrors, ZeroRateLeavesBytesAlone) {
    std::vector<uint8_t> a(4096, 0x55);
    CBitErrors none(0, 1);
    EXPECT_EQ(none.Apply(a.data(), a.size()), 0u);
    EXPECT_EQ(a, std::vector<uint8_t>(4096, 0x55));
}

}  // namespace
}  // namespace zotsim::test

namespace zotsim::test {
namespace {

TEST(FaultPlan, TimedSilenceEndsByItself) {
    zot::CManualClock clock;
    CFaultPlan plan(clock);
    Fault f;
    f.kind = Fault::Kind::kSilence;
    f.request = 2;
    f.delayMs = 100;
    plan.Add(f);
    EXPECT_FALSE(plan.Take(1, 0).drop);
    EXPECT_TRUE(plan.Take(2, 0).drop);
    clock.Advance(std::chrono::milliseconds(99));
    EXPECT_TRUE(plan.Take(3, 0).drop);
    clock.Advance(std::chrono::milliseconds(1));
    EXPECT_FALSE(plan.Take(4, 0).drop);
}

}  // namespace
}  // namespace zotsim::test
