#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "file_store.h"
#include "protocol.h"
#include "sim_fixture.h"

namespace zotsim::test {
namespace {

// The folder next to the store holds a secret; every way of reaching it must fail.
class Sandbox : public SimulatorTest {
  protected:
    void SetUp() override {
        SimulatorTest::SetUp();
        std::ofstream(m_outside + "/secret.txt") << "secret";
        Start();
    }
};

TEST_F(Sandbox, DotDotIsRefused) {
    EXPECT_EQ(OpenFile("ZOT:\\..\\outside\\secret.txt"), kInvalidValue);
    EXPECT_EQ(CallPath(zot::kGetFileAttributes, "ZOT:\\..\\outside"), kInvalidValue);
    EXPECT_EQ(CreateFile("ZOT:\\..\\outside\\new.txt"), kInvalidValue);
    EXPECT_EQ(CallPath(zot::kCreateDirectory, "ZOT:\\..\\escape"), 0u);
    EXPECT_EQ(MustCall(zot::kFindFirstFile, PathString("ZOT:\\..\\outside\\*.*")).U32(120), 0u);
    EXPECT_FALSE(std::filesystem::exists(m_outside + "/new.txt"));
}

TEST_F(Sandbox, AbsoluteLookingNamesStayInsideOrAreRefused) {
    // A leading separator means the store's root, never the host's.
    EXPECT_EQ(CallPath(zot::kGetFileAttributes, "/etc/passwd"), kInvalidValue);
    EXPECT_EQ(CallPath(zot::kGetFileAttributes, "C:\\Windows"), kInvalidValue);
    EXPECT_EQ(CallPath(zot::kGetFileAttributes, "\\\\server\\share"), kInvalidValue);
    EXPECT_EQ(OpenFile(m_outside + "/secret.txt"), kInvalidValue);
    EXPECT_EQ(CallPath(zot::kCreateDirectory, "/tmp"), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(HostPath("tmp")));
}

TEST_F(Sandbox, SymlinkedFolderIsNotFollowed) {
    std::filesystem::create_directory_symlink(m_outside, HostPath("door"));
    EXPECT_EQ(OpenFile("ZOT:\\door\\secret.txt"), kInvalidValue);
    EXPECT_EQ(CreateFile("ZOT:\\door\\new.txt"), kInvalidValue);
    EXPECT_EQ(CallPath(zot::kDeleteFile, "ZOT:\\door\\secret.txt"), 0u);
    EXPECT_EQ(MustCall(zot::kFindFirstFile, PathString("ZOT:\\door\\*.*")).U32(120), 0u);
    EXPECT_EQ(CallPath(zot::kGetFileAttributes, "ZOT:\\door"), kInvalidValue);
    EXPECT_EQ(CallPath(zot::kRemoveDirectory, "ZOT:\\door"), 0u);
    EXPECT_FALSE(std::filesystem::exists(m_outside + "/new.txt"));
    EXPECT_TRUE(std::filesystem::exists(m_outside + "/secret.txt"));
}

TEST_F(Sandbox, SymlinkedFileIsInvisible) {
    std::filesystem::create_symlink(m_outside + "/secret.txt", HostPath("link.txt"));
    EXPECT_EQ(OpenFile("ZOT:\\link.txt"), kInvalidValue);
    EXPECT_EQ(CreateFile("ZOT:\\link.txt"), kInvalidValue);
    EXPECT_EQ(CallPathValue(zot::kSetFileAttributes, "ZOT:\\link.txt", kAttrReadOnly), 0u);
    EXPECT_EQ(MustCall(zot::kFindFirstFile, PathString("ZOT:\\*.*")).U32(120), 0u);
    std::ifstream in(m_outside + "/secret.txt");
    std::string content;
    in >> content;
    EXPECT_EQ(content, "secret");
}

TEST_F(Sandbox, PipesAndDevicesAreInvisible) {
    ASSERT_EQ(::mkfifo(HostPath("fifo").c_str(), 0644), 0);
    EXPECT_EQ(OpenFile("ZOT:\\fifo", 0), kInvalidValue);
    EXPECT_EQ(CreateFile("ZOT:\\fifo"), kInvalidValue);
    EXPECT_EQ(CallPath(zot::kGetFileAttributes, "ZOT:\\fifo"), kInvalidValue);
}

TEST_F(Sandbox, RootCannotBeOpenedOrDeleted) {
    EXPECT_EQ(OpenFile("ZOT:\\"), kInvalidValue);
    EXPECT_EQ(CreateFile("ZOT:\\"), kInvalidValue);
    EXPECT_EQ(CallPath(zot::kDeleteFile, "ZOT:\\"), 0u);
    EXPECT_EQ(MustCall(zot::kFindFirstFile, PathString("ZOT:\\")).U32(120), 0u);
}

}  // namespace
}  // namespace zotsim::test
