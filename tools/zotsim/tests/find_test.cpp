#include <filesystem>
#include <set>
#include <string>

#include "file_store.h"
#include "protocol.h"
#include "sim_fixture.h"

namespace zotsim::test {
namespace {

class Find : public SimulatorTest {
  protected:
    struct Entry {
        uint32_t attributes;
        uint32_t time;
        uint32_t size;
        std::string name;
    };
    static Entry Record(const ReplyMessage& reply) {
        EXPECT_EQ(reply.data.size(), 124u);
        return {reply.U32(0), reply.U32(12), reply.U32(16),
                std::string(reinterpret_cast<const char*>(reply.data.data() + 20))};
    }
    // Every name a search lists, with FindClose at the end.
    std::vector<std::string> List(const std::string& pattern) {
        std::vector<std::string> names;
        const auto first = MustCall(zot::kFindFirstFile, PathString(pattern));
        const uint32_t handle = first.U32(120);
        if (handle == 0) return names;
        names.push_back(Record(first).name);
        for (;;) {
            const auto next = MustCall(zot::kFindNextFile, U32s({handle}));
            if (next.U32(120) == 0) break;
            names.push_back(Record(next).name);
        }
        EXPECT_EQ(CallHandle(zot::kFindClose, handle), 1u);
        return names;
    }
};

TEST_F(Find, StarDotStarListsEveryEntrySorted) {
    Start();
    WriteHostFile("b.txt", "12345");
    WriteHostFile("noext", "");
    std::filesystem::create_directory(HostPath("a_dir"));
    EXPECT_EQ(List("ZOT:\\*.*"), (std::vector<std::string>{"a_dir", "b.txt", "noext"}));
}

TEST_F(Find, RecordCarriesAttributesTimeAndSize) {
    Start();
    WriteHostFile("b.txt", "12345");
    std::filesystem::create_directory(HostPath("d"));
    auto first = MustCall(zot::kFindFirstFile, PathString("ZOT:\\b.txt"));
    const Entry file = Record(first);
    EXPECT_EQ(file.attributes, kAttrNormal);
    EXPECT_EQ(file.size, 5u);
    EXPECT_GT(file.time, 1'000'000'000u);
    EXPECT_NE(first.U32(120), 0u);
    const Entry dir = Record(MustCall(zot::kFindFirstFile, PathString("ZOT:\\d")));
    EXPECT_EQ(dir.attributes, kAttrDirectory);
}

TEST_F(Find, PatternsMatchWithoutRegardToCase) {
    Start();
    WriteHostFile("One.TXT", "");
    WriteHostFile("two.txt", "");
    WriteHostFile("three.doc", "");
    std::filesystem::create_directory(HostPath("sub"));
    WriteHostFile("sub/x.txt", "");
    EXPECT_EQ(List("ZOT:\\*.txt"), (std::vector<std::string>{"One.TXT", "two.txt"}));
    EXPECT_EQ(List("ZOT:\\t??.*"), (std::vector<std::string>{"two.txt"}));
    EXPECT_EQ(List("ZOT:\\SUB\\*.*"), (std::vector<std::string>{"x.txt"}));
    EXPECT_EQ(List("/sub/*"), (std::vector<std::string>{"x.txt"}));
}

TEST_F(Find, NoMatchGivesZeroedRecordAndHandleZero) {
    Start();
    WriteHostFile("a.txt", "");
    const auto reply = MustCall(zot::kFindFirstFile, PathString("ZOT:\\*.zip"));
    ASSERT_EQ(reply.data.size(), 124u);
    EXPECT_EQ(reply.data, std::vector<uint8_t>(124, 0));
    EXPECT_EQ(MustCall(zot::kFindFirstFile, PathString("ZOT:\\missing\\*.*")).U32(120), 0u);
}

TEST_F(Find, EmptyFolderListsNothing) {
    Start();
    std::filesystem::create_directory(HostPath("empty"));
    EXPECT_TRUE(List("ZOT:\\empty\\*.*").empty());
}

TEST_F(Find, LongNamesAreCutToNinetyNineBytes) {
    Start();
    const std::string name(150, 'n');
    WriteHostFile(name, "");
    const auto names = List("ZOT:\\*.*");
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], std::string(99, 'n'));
}

TEST_F(Find, NamesPassAsBytesUnconverted) {
    Start();
    const std::string latin1 = "caf\xE9.txt";  // as the PC's code page would send it
    const uint32_t h = CreateFile("ZOT:\\" + latin1);
    ASSERT_NE(h, kInvalidValue);
    EXPECT_EQ(List("ZOT:\\*.*"), (std::vector<std::string>{latin1}));
}

TEST_F(Find, FindNextAfterTheEndAndOnUnknownHandlesGivesZero) {
    Start();
    WriteHostFile("only.txt", "");
    const uint32_t handle = MustCall(zot::kFindFirstFile, PathString("ZOT:\\*.*")).U32(120);
    ASSERT_NE(handle, 0u);
    EXPECT_EQ(MustCall(zot::kFindNextFile, U32s({handle})).U32(120), 0u);
    EXPECT_EQ(MustCall(zot::kFindNextFile, U32s({handle})).U32(120), 0u);
    EXPECT_EQ(CallHandle(zot::kFindClose, handle), 1u);
    EXPECT_EQ(CallHandle(zot::kFindClose, handle), 0u);
    EXPECT_EQ(MustCall(zot::kFindNextFile, U32s({handle})).U32(120), 0u);
}

TEST_F(Find, FullSearchTableGivesUpItsOldestSearch) {
    Start();
    WriteHostFile("a.txt", "");
    std::vector<uint32_t> handles;
    for (size_t i = 0; i < CFileStore::kMaxFinds; ++i)
        handles.push_back(MustCall(zot::kFindFirstFile, PathString("ZOT:\\*.*")).U32(120));
    EXPECT_EQ(std::set<uint32_t>(handles.begin(), handles.end()).size(), CFileStore::kMaxFinds);
    EXPECT_NE(MustCall(zot::kFindFirstFile, PathString("ZOT:\\*.*")).U32(120), 0u);
    EXPECT_EQ(CallHandle(zot::kFindClose, handles.front()), 0u);
    EXPECT_EQ(CallHandle(zot::kFindClose, handles.back()), 1u);
}

}  // namespace
}  // namespace zotsim::test
