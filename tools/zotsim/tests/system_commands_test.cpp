#include <filesystem>
#include <string>

#include "protocol.h"
#include "sim_fixture.h"

namespace zotsim::test {
namespace {

using SystemCommands = SimulatorTest;

TEST_F(SystemCommands, InformationRecordsHaveTheirLayouts) {
    Start();
    EXPECT_EQ(MustCall(zot::kGetVersion).data.size(), 12u);
    EXPECT_EQ(MustCall(zot::kGlobalMemoryStatus).data.size(), 12u);
    EXPECT_EQ(MustCall(zot::kGetSystemPowerStatus).data.size(), 24u);
}

TEST_F(SystemCommands, SystemInfoCarriesTheServerName) {
    Options options;
    options.serverName = "Bench terminal";
    Start(options);
    const auto reply = MustCall(zot::kGetSystemInfo);
    ASSERT_EQ(reply.data.size(), 80u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(reply.data.data())), "Bench terminal");
}

TEST_F(SystemCommands, StoreInformationCountsBytesUnderTheRoot) {
    Options options;
    options.storeSize = 100000;
    Start(options);
    WriteHostFile("a.bin", std::string(1000, 'x'));
    std::filesystem::create_directory(HostPath("sub"));
    WriteHostFile("sub/b.bin", std::string(500, 'y'));
    const auto reply = MustCall(zot::kGetStoreInformation, U32s({1}));
    ASSERT_EQ(reply.data.size(), 8u);
    EXPECT_EQ(reply.U32(0), 100000u);
    EXPECT_EQ(reply.U32(4), 100000u - 1500u);
}

TEST_F(SystemCommands, StoreInformationFreeSizeStopsAtZero) {
    Options options;
    options.storeSize = 100;
    Start(options);
    WriteHostFile("big.bin", std::string(1000, 'x'));
    const auto reply = MustCall(zot::kGetStoreInformation, U32s({1}));
    EXPECT_EQ(reply.U32(4), 0u);
}

TEST_F(SystemCommands, RingAnswersOneForWellFormedText) {
    Start();
    const std::string text = "hello";
    EXPECT_EQ(
        MustCall(zot::kRing, U32s({5}) + std::vector<uint8_t>(text.begin(), text.end())).U32(0),
        1u);
    EXPECT_EQ(MustCall(zot::kRing, U32s({50})).U32(0), 0u);
}

TEST_F(SystemCommands, UnknownCommandGetsNoReplyButIsCounted) {
    Start();
    EXPECT_FALSE(Call(99, {}, false, 300));
    EXPECT_EQ(m_sim->RequestCount(), 1u);
    EXPECT_TRUE(Call(zot::kGetVersion));
}

TEST_F(SystemCommands, MalformedFramesAreIgnored) {
    Start();
    // A reply-typed message, a message shorter than its header, one whose D is wrong, and a
    // frame with a bad checksum: none is a request.
    std::vector<uint8_t> frame(zot::kMaxFrame);
    const uint8_t replyType[] = {0x11, 0, 0, 1, 0, 0, 0};
    const uint8_t shortMessage[] = {0x10, 0, 0, 1};
    const uint8_t wrongD[] = {0x10, 0, 0, 1, 0, 5, 0};
    for (const auto& m : {std::vector<uint8_t>(std::begin(replyType), std::end(replyType)),
                          std::vector<uint8_t>(std::begin(shortMessage), std::end(shortMessage)),
                          std::vector<uint8_t>(std::begin(wrongD), std::end(wrongD))}) {
        const size_t n = zot::EncodeFrame(m.data(), m.size(), frame.data());
        ASSERT_TRUE(m_client.SendRaw({frame.begin(), frame.begin() + n}));
    }
    ASSERT_TRUE(
        m_client.SendRaw({0x02, 0x07, 0x00, 0x10, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xE8}));
    EXPECT_FALSE(m_client.Receive(300));
    EXPECT_EQ(m_sim->RequestCount(), 0u);
    // The first GetVersion of a session, byte for byte, still gets its answer.
    ASSERT_TRUE(
        m_client.SendRaw({0x02, 0x07, 0x00, 0x10, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xE9}));
    const auto reply = m_client.Receive(2000);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->sequence, 1);
}

TEST_F(SystemCommands, NoiseAndGarbageNeverStopTheServer) {
    Start();
    std::vector<uint8_t> junk;
    uint32_t x = 12345;
    for (int i = 0; i < 20000; ++i) {
        x = x * 1103515245 + 12345;
        junk.push_back(static_cast<uint8_t>(x >> 16));
    }
    ASSERT_TRUE(m_client.SendRaw(junk));
    // A truncated compressed payload must not inflate into anything.
    ASSERT_TRUE(m_client.SendRaw({0x02, 0x03, 0x00, 0x78, 0x9C, 0x01, 0xE5}));
    EXPECT_TRUE(Call(zot::kGetVersion, {}, false, 3000));
}

TEST_F(SystemCommands, RequestsAreRecordedInOrder) {
    Start();
    MustCall(zot::kGetVersion);
    ASSERT_TRUE(Call(zot::kGetStoreInformation, U32s({1}), true));
    const auto records = m_sim->Requests();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].command, zot::kGetVersion);
    EXPECT_EQ(records[0].sequence, 1);
    EXPECT_FALSE(records[0].compressed);
    EXPECT_EQ(records[1].command, zot::kGetStoreInformation);
    EXPECT_EQ(records[1].dataLength, 4);
    EXPECT_TRUE(records[1].compressed);
}

}  // namespace
}  // namespace zotsim::test
