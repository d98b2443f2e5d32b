#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "file_store.h"
#include "protocol.h"
#include "sim_fixture.h"

namespace zotsim::test {
namespace {

using FileCommands = SimulatorTest;

std::vector<uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

// WriteFile: returns {written, result}.
std::pair<uint32_t, uint32_t> Write(const ReplyMessage& reply) {
    EXPECT_EQ(reply.data.size(), 8u);
    return {reply.U32(0), reply.U32(4)};
}

TEST_F(FileCommands, CreateWriteSeekReadRoundTrip) {
    Start();
    const uint32_t h = CreateFile("ZOT:\\notes.txt");
    ASSERT_NE(h, kInvalidValue);
    ASSERT_NE(h, 0u);
    auto w = MustCall(zot::kWriteFile, U32s({h, 11}) + Bytes("hello world"));
    EXPECT_EQ(w.U32(0), 11u);
    EXPECT_EQ(w.U32(4), 1u);
    EXPECT_EQ(MustCall(zot::kSetFilePointer, U32s({h, 6, 0})).U32(0), 6u);
    const auto r = MustCall(zot::kReadFile, U32s({h, 100}));
    ASSERT_EQ(r.data.size(), 4u + 5u + 4u);
    EXPECT_EQ(r.U32(0), 5u);
    EXPECT_EQ(std::string(r.data.begin() + 4, r.data.begin() + 9), "world");
    EXPECT_EQ(r.U32(9), 1u);
    EXPECT_EQ(CallHandle(zot::kGetFileSize, h), 11u);
    EXPECT_EQ(CallHandle(zot::kCloseFile, h), 1u);
    EXPECT_EQ(ReadHostFile("notes.txt"), "hello world");
}

TEST_F(FileCommands, ReadAtEndGivesZeroBytesAndSuccess) {
    Start();
    WriteHostFile("a.txt", "abc");
    const uint32_t h = OpenFile("ZOT:\\a.txt");
    ASSERT_NE(h, kInvalidValue);
    MustCall(zot::kReadFile, U32s({h, 3}));
    const auto r = MustCall(zot::kReadFile, U32s({h, 10}));
    ASSERT_EQ(r.data.size(), 8u);
    EXPECT_EQ(r.U32(0), 0u);
    EXPECT_EQ(r.U32(4), 1u);
}

TEST_F(FileCommands, ReadOverOneBlockIsRefused) {
    Start();
    WriteHostFile("a.txt", std::string(2000, 'x'));
    const uint32_t h = OpenFile("ZOT:\\a.txt");
    const auto r = MustCall(zot::kReadFile, U32s({h, 1025}));
    ASSERT_EQ(r.data.size(), 8u);
    EXPECT_EQ(r.U32(0), 0u);
    EXPECT_EQ(r.U32(4), 0u);
    const auto full = MustCall(zot::kReadFile, U32s({h, 1024}));
    EXPECT_EQ(full.U32(0), 1024u);
    EXPECT_EQ(full.data.size(), 1024u + 8u);
}

TEST_F(FileCommands, UnknownHandlesFail) {
    Start();
    EXPECT_EQ(MustCall(zot::kReadFile, U32s({777, 10})).U32(4), 0u);
    EXPECT_EQ(Write(MustCall(zot::kWriteFile, U32s({777, 1}) + Bytes("x"))),
              std::make_pair(0u, 0u));
    EXPECT_EQ(CallHandle(zot::kCloseFile, 777), 0u);
    EXPECT_EQ(CallHandle(zot::kGetFileSize, 777), kInvalidValue);
    EXPECT_EQ(MustCall(zot::kSetFilePointer, U32s({777, 0, 0})).U32(0), kInvalidValue);
    EXPECT_EQ(MustCall(zot::kSetFilePosToPre, U32s({777, 1})).U32(0), 0u);
}

TEST_F(FileCommands, WriteWithFewerBytesThanAnnouncedFails) {
    Start();
    const uint32_t h = CreateFile("ZOT:\\w.bin");
    EXPECT_EQ(Write(MustCall(zot::kWriteFile, U32s({h, 10}) + Bytes("abc"))),
              std::make_pair(0u, 0u));
}

TEST_F(FileCommands, SetFilePointerMethodsAndBounds) {
    Start();
    WriteHostFile("f.bin", std::string(100, 'x'));
    const uint32_t h = OpenFile("ZOT:\\f.bin");
    EXPECT_EQ(MustCall(zot::kSetFilePointer, U32s({h, 10, 0})).U32(0), 10u);
    EXPECT_EQ(MustCall(zot::kSetFilePointer, U32s({h, 5, 1})).U32(0), 15u);
    EXPECT_EQ(MustCall(zot::kSetFilePointer, U32s({h, static_cast<uint32_t>(-20), 2})).U32(0), 80u);
    EXPECT_EQ(MustCall(zot::kSetFilePointer, U32s({h, static_cast<uint32_t>(-200), 1})).U32(0),
              kInvalidValue);
    EXPECT_EQ(MustCall(zot::kSetFilePointer, U32s({h, 0, 7})).U32(0), kInvalidValue);
}

TEST_F(FileCommands, SetEndOfFileCutsAtThePosition) {
    Start();
    const uint32_t h = CreateFile("ZOT:\\t.bin");
    MustCall(zot::kWriteFile, U32s({h, 10}) + Bytes("0123456789"));
    MustCall(zot::kSetFilePointer, U32s({h, 4, 0}));
    EXPECT_EQ(CallHandle(zot::kSetEndOfFile, h), 1u);
    EXPECT_EQ(CallHandle(zot::kGetFileSize, h), 4u);
}

TEST_F(FileCommands, FileTimesReadAndSet) {
    Start();
    const uint32_t h = CreateFile("ZOT:\\t.bin");
    const auto before = MustCall(zot::kGetFileTime, U32s({h}));
    ASSERT_EQ(before.data.size(), 16u);
    EXPECT_GT(before.U32(8), 1'000'000'000u);
    EXPECT_EQ(before.U32(12), 1u);
    EXPECT_EQ(MustCall(zot::kSetFileTime, U32s({h, 0, 0, 1'500'000'000})).U32(0), 1u);
    const auto after = MustCall(zot::kGetFileTime, U32s({h}));
    EXPECT_EQ(after.U32(8), 1'500'000'000u);
    EXPECT_EQ(after.U32(4), before.U32(4));  // 0 left the access time alone
}

TEST_F(FileCommands, SetFilePosToPreRewindsToBeforeThatRequest) {
    Start();
    WriteHostFile("r.bin", "abcdefghij");
    const uint32_t h = OpenFile("ZOT:\\r.bin");
    MustCall(zot::kReadFile, U32s({h, 3}));  // "abc"
    const uint16_t lost = static_cast<uint16_t>(m_sequence + 1);
    MustCall(zot::kReadFile, U32s({h, 4}));  // "defg", as if its reply never came
    EXPECT_EQ(MustCall(zot::kSetFilePosToPre, U32s({h, lost})).U32(0), 1u);
    const auto again = MustCall(zot::kReadFile, U32s({h, 4}));
    EXPECT_EQ(std::string(again.data.begin() + 4, again.data.begin() + 8), "defg");
    EXPECT_EQ(MustCall(zot::kSetFilePosToPre, U32s({h, 60000})).U32(0), 0u);
}

TEST_F(FileCommands, SetFilePosToPreMakesARetriedWriteLandOnce) {
    Start();
    const uint32_t h = CreateFile("ZOT:\\w.bin");
    MustCall(zot::kWriteFile, U32s({h, 3}) + Bytes("abc"));
    const uint16_t lost = static_cast<uint16_t>(m_sequence + 1);
    MustCall(zot::kWriteFile, U32s({h, 3}) + Bytes("def"));
    EXPECT_EQ(MustCall(zot::kSetFilePosToPre, U32s({h, lost})).U32(0), 1u);
    MustCall(zot::kWriteFile, U32s({h, 3}) + Bytes("def"));
    CallHandle(zot::kCloseFile, h);
    EXPECT_EQ(ReadHostFile("w.bin"), "abcdef");
}

TEST_F(FileCommands, CreateTruncatesAnExistingFile) {
    Start();
    WriteHostFile("old.txt", "old content");
    const uint32_t h = CreateFile("ZOT:\\old.txt");
    ASSERT_NE(h, kInvalidValue);
    EXPECT_EQ(CallHandle(zot::kGetFileSize, h), 0u);
}

TEST_F(FileCommands, ReadOnlyFilesCannotBeCreatedOverWrittenOrDeleted) {
    Start();
    WriteHostFile("ro.txt", "keep");
    EXPECT_EQ(CallPathValue(zot::kSetFileAttributes, "ZOT:\\ro.txt", kAttrReadOnly), 1u);
    EXPECT_EQ(CallPath(zot::kGetFileAttributes, "ZOT:\\ro.txt"), kAttrReadOnly);
    EXPECT_EQ(CreateFile("ZOT:\\ro.txt"), kInvalidValue);
    EXPECT_EQ(CallPath(zot::kDeleteFile, "ZOT:\\ro.txt"), 0u);
    // Opening for read/write still gives a handle, for reading only.
    const uint32_t h = OpenFile("ZOT:\\ro.txt", 2);
    ASSERT_NE(h, kInvalidValue);
    EXPECT_EQ(Write(MustCall(zot::kWriteFile, U32s({h, 1}) + Bytes("x"))), std::make_pair(0u, 0u));
    EXPECT_EQ(MustCall(zot::kReadFile, U32s({h, 4})).U32(0), 4u);
    EXPECT_EQ(ReadHostFile("ro.txt"), "keep");
    EXPECT_EQ(CallPathValue(zot::kSetFileAttributes, "ZOT:\\ro.txt", kAttrNormal), 1u);
    EXPECT_EQ(CallPath(zot::kGetFileAttributes, "ZOT:\\ro.txt"), kAttrNormal);
    EXPECT_EQ(CallPath(zot::kDeleteFile, "ZOT:\\ro.txt"), 1u);
}

TEST_F(FileCommands, OpenInReadModeCannotWrite) {
    Start();
    WriteHostFile("a.txt", "abc");
    const uint32_t h = OpenFile("ZOT:\\a.txt", 0);
    ASSERT_NE(h, kInvalidValue);
    EXPECT_EQ(MustCall(zot::kWriteFile, U32s({h, 1}) + Bytes("x")).U32(4), 0u);
    EXPECT_EQ(OpenFile("ZOT:\\missing.txt"), kInvalidValue);
}

TEST_F(FileCommands, AttributesOfFoldersFilesAndMissingPaths) {
    Start();
    WriteHostFile("f.txt", "x");
    std::filesystem::create_directory(HostPath("d"));
    EXPECT_EQ(CallPath(zot::kGetFileAttributes, "ZOT:\\"), kAttrDirectory);
    EXPECT_EQ(CallPath(zot::kGetFileAttributes, "ZOT:\\d"), kAttrDirectory);
    EXPECT_EQ(CallPath(zot::kGetFileAttributes, "ZOT:\\f.txt"), kAttrNormal);
    EXPECT_EQ(CallPath(zot::kGetFileAttributes, "ZOT:\\F.TXT"), kAttrNormal);
    EXPECT_EQ(CallPath(zot::kGetFileAttributes, "ZOT:\\nope"), kInvalidValue);
    EXPECT_EQ(CallPathValue(zot::kSetFileAttributes, "ZOT:\\nope", kAttrReadOnly), 0u);
}

TEST_F(FileCommands, FoldersAreCreatedAndRemovedWhenEmpty) {
    Start();
    EXPECT_EQ(CallPath(zot::kCreateDirectory, "ZOT:\\new"), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(HostPath("new")));
    EXPECT_EQ(CallPath(zot::kCreateDirectory, "ZOT:\\new"), 0u);
    EXPECT_EQ(CallPath(zot::kCreateDirectory, "ZOT:\\new\\inner"), 1u);
    EXPECT_EQ(CallPath(zot::kRemoveDirectory, "ZOT:\\new"), 0u);
    EXPECT_EQ(CallPath(zot::kRemoveDirectory, "ZOT:\\new\\inner"), 1u);
    EXPECT_EQ(CallPath(zot::kRemoveDirectory, "ZOT:\\new"), 1u);
    EXPECT_EQ(CallPath(zot::kRemoveDirectory, "ZOT:\\"), 0u);
}

TEST_F(FileCommands, DeleteFileRemovesFilesOnly) {
    Start();
    WriteHostFile("f.txt", "x");
    std::filesystem::create_directory(HostPath("d"));
    EXPECT_EQ(CallPath(zot::kDeleteFile, "ZOT:\\d"), 0u);
    EXPECT_EQ(CallPath(zot::kDeleteFile, "ZOT:\\f.txt"), 1u);
    EXPECT_FALSE(std::filesystem::exists(HostPath("f.txt")));
    EXPECT_EQ(CallPath(zot::kDeleteFile, "ZOT:\\f.txt"), 0u);
}

TEST_F(FileCommands, NamesOverTheLimitCannotBeCreated) {
    Options options;
    options.nameLimit = 8;
    Start(options);
    EXPECT_EQ(CreateFile("ZOT:\\toolongname.txt"), kInvalidValue);
    EXPECT_EQ(CallPath(zot::kCreateDirectory, "ZOT:\\toolongname"), 0u);
    EXPECT_NE(CreateFile("ZOT:\\ok.txt"), kInvalidValue);
}

TEST_F(FileCommands, OpenFileTableIsBounded) {
    Start();
    WriteHostFile("a.txt", "x");
    uint32_t last = 0;
    for (size_t i = 0; i < CFileStore::kMaxOpenFiles; ++i) {
        last = OpenFile("ZOT:\\a.txt", 0);
        ASSERT_NE(last, kInvalidValue);
    }
    EXPECT_EQ(OpenFile("ZOT:\\a.txt", 0), kInvalidValue);
    EXPECT_EQ(CallHandle(zot::kCloseFile, last), 1u);
    EXPECT_NE(OpenFile("ZOT:\\a.txt", 0), kInvalidValue);
}

TEST_F(FileCommands, TruncatedRequestDataGetsTheFailureReply) {
    Start();
    EXPECT_EQ(MustCall(zot::kOpenFile, {5, 'a'}).U32(0), kInvalidValue);
    EXPECT_EQ(MustCall(zot::kReadFile, U32s({1})).data.size(), 8u);
    EXPECT_EQ(MustCall(zot::kGetFileTime, {}).data.size(), 16u);
    EXPECT_EQ(MustCall(zot::kFindFirstFile, {}).data.size(), 124u);
}

}  // namespace
}  // namespace zotsim::test
