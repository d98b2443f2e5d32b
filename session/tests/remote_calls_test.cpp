// The single-command calls against the terminal simulator.
#include "remote_calls.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "sim_session.h"

namespace zot::test {
namespace {

class RemoteCalls : public SimSession {
  protected:
    void SetUp() override {
        SimSession::SetUp();
        Start();
    }
    int32_t Open(const std::string& name) { return calls::OpenFile(app, "ZOT:\\" + name, 2); }
};

TEST_F(RemoteCalls, SystemRecordsArrive) {
    VersionInfo v{};
    MemoryStatus m{};
    PowerStatus p{};
    SystemInfo s{};
    StoreInfo st{};
    EXPECT_EQ(calls::GetVersion(app, &v), 1);
    EXPECT_EQ(calls::GlobalMemoryStatus(app, &m), 1);
    EXPECT_EQ(calls::GetSystemPowerStatus(app, &p), 1);
    EXPECT_EQ(calls::GetSystemInfo(app, &s), 1);
    EXPECT_EQ(calls::GetStoreInformation(app, &st, 1), 1);
    EXPECT_GT(st.size, 0u);
    EXPECT_LE(st.free, st.size);
}

TEST_F(RemoteCalls, ReadOf2500BytesGoesAsThreeRequests) {
    const std::string data = RandomBytes(2500);
    WriteBytes(TerminalPath("a.bin"), data);
    const int32_t h = Open("a.bin");
    ASSERT_NE(h, -1);
    std::string buf(2500, '\0');
    uint32_t got = 0;
    EXPECT_EQ(calls::ReadFile(app, h, buf.data(), 2500, &got), 1);
    EXPECT_EQ(got, 2500u);
    EXPECT_EQ(buf, data);
    EXPECT_EQ(CountRequests(kReadFile), 3);
}

// The terminal may have the next block's reply ready before it is asked for; a file changed
// in between must still be read as it is now.
TEST_F(RemoteCalls, ReadAfterTheFileChangedBetweenBlocksGivesTheNewBytes) {
    const std::string before = RandomBytes(4096, 5);
    WriteBytes(TerminalPath("c.bin"), before);
    const int32_t h = Open("c.bin");
    ASSERT_NE(h, -1);
    std::string buf(1024, '\0');
    uint32_t got = 0;
    ASSERT_EQ(calls::ReadFile(app, h, buf.data(), 1024, &got), 1);
    EXPECT_EQ(buf, before.substr(0, 1024));
    const std::string after = RandomBytes(4096, 6);
    WriteBytes(TerminalPath("c.bin"), after);
    ASSERT_EQ(calls::ReadFile(app, h, buf.data(), 1024, &got), 1);
    EXPECT_EQ(buf, after.substr(1024, 1024));
}

TEST_F(RemoteCalls, ReadPastTheEndReturnsZeroWithTheCountSoFar) {
    WriteBytes(TerminalPath("short.bin"), RandomBytes(2100));
    const int32_t h = Open("short.bin");
    std::string buf(3000, '\0');
    uint32_t got = 0;
    EXPECT_EQ(calls::ReadFile(app, h, buf.data(), 3000, &got), 0);
    EXPECT_EQ(got, 2100u);
}

TEST_F(RemoteCalls, ZeroByteReadAndWriteSendNothing) {
    uint32_t n = 5;
    const uint32_t before = sim->RequestCount();
    EXPECT_EQ(calls::ReadFile(app, 1, nullptr, 0, &n), 1);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(calls::WriteFile(app, 1, nullptr, 0, &n), 1);
    EXPECT_EQ(sim->RequestCount(), before);
}

TEST_F(RemoteCalls, DroppedReadReplyIsRewoundAndTheDataArrivesIntact) {
    const std::string data = RandomBytes(4096, 3);
    WriteBytes(TerminalPath("r.bin"), data);
    app.SetReplyTimeout(300);
    const int32_t h = Open("r.bin");
    sim->AddFault({zotsim::Fault::Kind::kDrop, 0, kReadFile, 0, 1});
    std::string buf(4096, '\0');
    uint32_t got = 0;
    EXPECT_EQ(calls::ReadFile(app, h, buf.data(), 4096, &got), 1);
    EXPECT_EQ(buf, data);
    EXPECT_EQ(CountRequests(kSetFilePosToPre), 1);
}

TEST_F(RemoteCalls, DroppedWriteReplyIsRewoundAndTheFileIsWrittenOnce) {
    const std::string data = RandomBytes(3000, 4);
    app.SetReplyTimeout(300);
    const int32_t h = calls::CreateFile(app, "ZOT:\\w.bin", 0xC0000000u);
    ASSERT_NE(h, -1);
    sim->AddFault({zotsim::Fault::Kind::kDrop, 0, kWriteFile, 0, 1});
    uint32_t done = 0;
    EXPECT_EQ(calls::WriteFile(app, h, data.data(), 3000, &done), 1);
    EXPECT_EQ(done, 3000u);
    EXPECT_EQ(calls::CloseFile(app, h), 1);
    EXPECT_EQ(ReadBytes(TerminalPath("w.bin")), data);
}

TEST_F(RemoteCalls, FindListsEntriesAndEndsWithZero) {
    WriteBytes(TerminalPath("one.txt"), "1");
    WriteBytes(TerminalPath("two.txt"), "22");
    fs::create_directory(TerminalPath("sub"));
    FindRecord d{};
    const int32_t h = calls::FindFirstFile(app, "ZOT:\\*.*", &d);
    ASSERT_NE(h, -1);
    std::map<std::string, FindRecord> seen;
    do seen[std::string(d.name, strnlen(d.name, 100))] = d;
    while (calls::FindNextFile(app, h, &d));
    EXPECT_NE(calls::FindClose(app, h), 0);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen["two.txt"].size, 2u);
    EXPECT_TRUE(seen["sub"].attributes & kAttributeDirectory);
    EXPECT_GT(seen["one.txt"].time, 0u);
}

TEST_F(RemoteCalls, FindWithNoMatchGivesMinusOne) {
    FindRecord d{};
    EXPECT_EQ(calls::FindFirstFile(app, "ZOT:\\*.nothing", &d), -1);
}

TEST_F(RemoteCalls, WrongReplyLengthFailsAtOnce) {
    sim->AddFault({zotsim::Fault::Kind::kWrongLength, 0, kGetFileAttributes, 0, 1});
    WriteBytes(TerminalPath("x"), "x");
    const uint32_t before = sim->RequestCount();
    EXPECT_EQ(calls::GetFileAttributes(app, "ZOT:\\x"), -1);
    EXPECT_EQ(sim->RequestCount(), before + 1);
}

TEST_F(RemoteCalls, DirectoriesAttributesAndDeletion) {
    EXPECT_NE(calls::CreateDirectory(app, "ZOT:\\d"), 0);
    EXPECT_TRUE(fs::is_directory(TerminalPath("d")));
    EXPECT_EQ(calls::GetFileAttributes(app, "ZOT:\\d") & kAttributeDirectory, kAttributeDirectory);
    EXPECT_NE(calls::RemoveDirectory(app, "ZOT:\\d"), 0);
    EXPECT_FALSE(fs::exists(TerminalPath("d")));
    EXPECT_EQ(calls::GetFileAttributes(app, "ZOT:\\d"), -1);
    WriteBytes(TerminalPath("f"), "f");
    EXPECT_NE(calls::DeleteFile(app, "ZOT:\\f"), 0);
    EXPECT_FALSE(fs::exists(TerminalPath("f")));
    EXPECT_EQ(calls::DeleteFile(app, "ZOT:\\f"), 0);
}

TEST_F(RemoteCalls, HandleCallsOnAnOpenFile) {
    WriteBytes(TerminalPath("h.bin"), "0123456789");
    const int32_t h = Open("h.bin");
    ASSERT_NE(h, -1);
    EXPECT_EQ(calls::GetFileSize(app, h), 10);
    calls::SetFilePointer(app, h, 4, 0);
    char buf[3];
    uint32_t got = 0;
    EXPECT_EQ(calls::ReadFile(app, h, buf, 3, &got), 1);
    EXPECT_EQ(std::string(buf, 3), "456");
    uint32_t c = 0, a = 0, w = 0;
    EXPECT_NE(calls::GetFileTime(app, h, &c, &a, &w), 0);
    EXPECT_GT(w, 0u);
    EXPECT_NE(calls::GetFileTime(app, h, nullptr, nullptr, nullptr), 0);
    const uint32_t t = 1700000000;
    EXPECT_NE(calls::SetFileTime(app, h, nullptr, nullptr, &t), 0);
    EXPECT_NE(calls::CloseFile(app, h), 0);
}

TEST_F(RemoteCalls, SetFileTimeCountsASilentTerminalAsSuccess) {
    app.SetReplyTimeout(100);
    sim->AddFault({zotsim::Fault::Kind::kSilence, 0, -1, 0, 1});
    const uint32_t t = 1;
    EXPECT_EQ(calls::SetFileTime(app, 1, &t, &t, &t), 1);
    EXPECT_EQ(calls::GetFileSize(app, 1), 0);
}

TEST_F(RemoteCalls, PathsOver255BytesAreRefusedBeforeSending) {
    const uint32_t before = sim->RequestCount();
    EXPECT_EQ(calls::GetFileAttributes(app, "ZOT:\\" + std::string(251, 'a')), -1);
    EXPECT_EQ(calls::FindFirstFile(app, std::string(256, 'a'), nullptr), -1);
    EXPECT_EQ(sim->RequestCount(), before);
}

TEST_F(RemoteCalls, RingSendsItsText) {
    EXPECT_NE(calls::Ring(app, "hello"), 0);
    EXPECT_EQ(calls::Ring(app, std::string(261, 'x')), 0);
}

TEST_F(RemoteCalls, UncompressedSessionWorksToo) {
    app.Link().SetCompression(false);
    VersionInfo v{};
    EXPECT_EQ(calls::GetVersion(app, &v), 1);
    EXPECT_FALSE(sim->Requests().back().compressed);
}

}  // namespace
}  // namespace zot::test
