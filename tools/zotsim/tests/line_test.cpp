#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "protocol.h"
#include "sim_fixture.h"

namespace zotsim::test {
namespace {

using Line = SimulatorTest;
using Clock = std::chrono::steady_clock;

TEST_F(Line, CompressedRequestGetsCompressedReply) {
    Start();
    const auto reply = Call(zot::kGetSystemInfo, {}, true);
    ASSERT_TRUE(reply);
    EXPECT_TRUE(reply->compressed);
    EXPECT_EQ(reply->data.size(), 80u);
    const auto plain = Call(zot::kGetSystemInfo, {}, false);
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->compressed);
}

TEST_F(Line, CompressRepliesOptionCompressesEveryReply) {
    Options options;
    options.compressReplies = true;
    Start(options);
    const auto reply = Call(zot::kGetVersion);
    ASSERT_TRUE(reply);
    EXPECT_TRUE(reply->compressed);
    EXPECT_EQ(reply->data.size(), 12u);
}

TEST_F(Line, CompressedWriteAndReadOfAWholeBlock) {
    Start();
    const uint32_t h = CreateFile("ZOT:\\block.bin");
    std::vector<uint8_t> block(1024);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 7);
    const auto w = Call(zot::kWriteFile, U32s({h, 1024}) + block, true);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->U32(0), 1024u);
    MustCall(zot::kSetFilePointer, U32s({h, 0, 0}));
    const auto r = Call(zot::kReadFile, U32s({h, 1024}), true);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->data.size(), 1032u);
    EXPECT_EQ(std::vector<uint8_t>(r->data.begin() + 4, r->data.begin() + 1028), block);
}

TEST_F(Line, ClientCanCloseAndReopenTheLine) {
    Start();
    EXPECT_TRUE(Call(zot::kGetVersion));
    for (int i = 0; i < 3; ++i) {
        m_client.Close();
        ASSERT_TRUE(m_client.Open(m_sim->SlavePath()));
        EXPECT_TRUE(Call(zot::kGetVersion)) << "after reopen " << i;
    }
}

TEST_F(Line, LinkNamesTheSlave) {
    Options options;
    options.root = m_root;
    const std::string link = m_outside + "/ttyZOT";
    {
        CSimulator sim(options);
        ASSERT_TRUE(sim.OpenPty(link));
        EXPECT_EQ(std::filesystem::read_symlink(link).string(), sim.SlavePath());
        ASSERT_TRUE(sim.Start());
        CTestClient client;
        ASSERT_TRUE(client.Open(link));
        ASSERT_TRUE(client.SendMessage(zot::kGetVersion, 1, {}, false));
        EXPECT_TRUE(client.Receive(2000));
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST_F(Line, UnplugFailsTheClientAndRemovesTheDevice) {
    Start();
    EXPECT_TRUE(Call(zot::kGetVersion));
    const std::string slave = m_sim->SlavePath();
    m_sim->Unplug();
    pollfd p{m_client.Fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 1000), 1);
    EXPECT_NE(p.revents & (POLLHUP | POLLERR), 0);
    uint8_t b = 0;
    EXPECT_LE(::read(m_client.Fd(), &b, 1), 0);
    EXPECT_LT(::write(m_client.Fd(), &b, 1), 0);
    m_client.Close();
    struct stat st {};
    EXPECT_NE(::stat(slave.c_str(), &st), 0);
    m_sim->Unplug();  // twice is harmless
}

TEST_F(Line, ReplugServesANewLineUnderTheSameLink) {
    const std::string link = m_root + "-replug-link";
    Options o;
    o.root = m_root;
    CSimulator sim(o);
    ASSERT_TRUE(sim.OpenPty(link));
    ASSERT_TRUE(sim.Start());
    EXPECT_FALSE(sim.Replug());  // still plugged in
    sim.Unplug();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
    ASSERT_TRUE(sim.Replug());
    CTestClient client;
    ASSERT_TRUE(client.Open(link));
    ASSERT_TRUE(client.SendMessage(zot::kGetVersion, 1, {}, false));
    EXPECT_TRUE(client.Receive(2000));
    EXPECT_GT(sim.BytesReceived(), 0u);
    EXPECT_GT(sim.BytesSent(), 0u);
    sim.Stop();
}

TEST_F(Line, StopAndDestroyWhileAReplyIsDelayed) {
    Start();
    Fault f;
    f.kind = Fault::Kind::kDelay;
    f.request = 1;
    f.delayMs = 60000;
    m_sim->AddFault(f);
    ASSERT_TRUE(m_client.SendMessage(zot::kGetVersion, 1, {}, false));
    while (m_sim->RequestCount() == 0) ::usleep(1000);
    const auto start = Clock::now();
    m_sim->Stop();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
}

TEST_F(Line, LatencyDelaysEveryReply) {
    Options options;
    options.latencyMs = 100;
    Start(options);
    const auto start = Clock::now();
    ASSERT_TRUE(Call(zot::kGetVersion));
    ASSERT_TRUE(Call(zot::kGetVersion));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(200));
}

TEST_F(Line, LatencyTimerHoldsAShortReplyInTheAdapter) {
    Options options;
    options.latencyTimerMs = 150;
    Start(options);
    ASSERT_TRUE(m_client.SendMessage(zot::kGetVersion, 1, {}, false));
    // The reply frame is shorter than one USB packet: none of it passes before the timer.
    pollfd p{m_client.Fd(), POLLIN, 0};
    EXPECT_EQ(::poll(&p, 1, 100), 0);
    const auto reply = m_client.Receive(2000);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->data.size(), 12u);
}

// A 1 KiB read exchange at 9600 baud: 22-byte request frame, ~1 KiB reply frame. The line
// alone needs (request + reply bytes) x 10 / 9600 s; the exchange may not beat that and
// should not take much longer.
TEST_F(Line, PacingMakesAnExchangeTakeTheLineTime) {
    Options options;
    options.baud = 9600;
    Start(options);
    std::string content(1024, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>('a' + i % 26);
    WriteHostFile("k.bin", content);
    const uint32_t h = OpenFile("ZOT:\\k.bin");  // also sets up the pacing clocks

    std::vector<uint8_t> message(zot::kHeaderSize + 8);
    zot::PutHeader(message.data(), zot::kTypeRequest, zot::kReadFile, 1000, 8);
    zot::PutU32(message.data() + 7, h);
    zot::PutU32(message.data() + 11, 1024);
    std::vector<uint8_t> frame(zot::kMaxFrame);
    frame.resize(zot::EncodeFrame(message.data(), message.size(), frame.data()));

    const auto start = Clock::now();
    ASSERT_TRUE(m_client.SendRaw(frame));
    const auto reply = m_client.Receive(10000);
    const auto elapsed = Clock::now() - start;
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->U32(0), 1024u);
    std::vector<uint8_t> replyMessage(zot::kHeaderSize + reply->data.size());
    zot::PutHeader(replyMessage.data(), zot::kTypeReply, zot::kReadFile, 1000,
                   static_cast<uint16_t>(reply->data.size()));
    std::copy(reply->data.begin(), reply->data.end(), replyMessage.begin() + 7);
    std::vector<uint8_t> replyFrame(zot::kMaxFrame);
    const size_t replyBytes =
        zot::EncodeFrame(replyMessage.data(), replyMessage.size(), replyFrame.data());
    const double lineSeconds = static_cast<double>(frame.size() + replyBytes) * 10.0 / 9600.0;
    const double seconds = std::chrono::duration<double>(elapsed).count();
    EXPECT_GE(seconds, lineSeconds * 0.97);
    EXPECT_LE(seconds, lineSeconds + 0.5);
}

}  // namespace
}  // namespace zotsim::test
