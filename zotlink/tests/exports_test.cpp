// The shared library through its C boundary, as a client program sees it. Every test runs in
// a process of its own (CTest), so each starts with a freshly loaded library.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "refused_access.h"
#include "simulator.h"
#include "zotlink.h"

namespace {

namespace fs = std::filesystem;

class Exports : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/zotlink-exports-XXXXXX";
        ASSERT_TRUE(mkdtemp(tmpl));
        m_root = tmpl;
        zotsim::Options o;
        o.root = m_root.string();
        m_sim = std::make_unique<zotsim::CSimulator>(o);
        ASSERT_TRUE(m_sim->OpenPty());
        ASSERT_TRUE(m_sim->Start());
        ::setenv("COM9", m_sim->SlavePath().c_str(), 1);
    }
    void TearDown() override {
        ZOT_LumoUninit();
        m_sim->Stop();
        fs::remove_all(m_root);
    }
    fs::path m_root;
    std::unique_ptr<zotsim::CSimulator> m_sim;
};

TEST_F(Exports, UninitBeforeInitReturnsOne) {
    EXPECT_EQ(ZOT_LumoUninit(), 1);
}

TEST_F(Exports, InitOnAMissingPortFails) {
    ::setenv("COM8", "/nonexistent/tty", 1);
    EXPECT_EQ(ZOT_LumoInit(8, 115200, 1), 0);
    EXPECT_EQ(ZOT_LumoInit(-1, 115200, 1), 0);
}

// The caller learns why from errno, as after the system's own open.
TEST(ExportsOpenFailure, InitLeavesWhyThePortDidNotOpenInErrno) {
    char pattern[] = "/tmp/zotlink-open-XXXXXX";
    const fs::path dir = ::mkdtemp(pattern);
    ::setenv("COM8", (dir / "ttyUSB9").c_str(), 1);
    errno = 0;
    EXPECT_EQ(ZOT_LumoInit(8, 115200, 1), 0);
    EXPECT_EQ(errno, ENOENT);

    const std::string locked = (dir / "locked").string();
    ASSERT_TRUE(qs::test::MakeUnopenable(locked));
    ::setenv("COM8", locked.c_str(), 1);
    EXPECT_TRUE(qs::test::AsUnprivilegedUser([] {
        errno = 0;
        return ZOT_LumoInit(8, 115200, 1) == 0 && errno == EACCES;
    }));
    ::unsetenv("COM8");
    fs::remove_all(dir);
}

TEST_F(Exports, PortNumberResolvesThroughTheEnvironment) {
    ASSERT_EQ(ZOT_LumoInit(9, 115200, 1), 1);
    ZOT_VERSION_INFO v{};
    EXPECT_EQ(ZOT_GetVersion(&v), 1);
    EXPECT_EQ(ZOT_SetBaudrate(57600), 1);
    EXPECT_EQ(ZOT_GetVersion(&v), 1);
}

TEST_F(Exports, NullArgumentsGiveTheFailureValueWithoutSending) {
    ASSERT_EQ(ZOT_LumoInit(9, 115200, 1), 1);
    const uint32_t before = m_sim->RequestCount();
    EXPECT_EQ(ZOT_GetVersion(nullptr), 0);
    EXPECT_EQ(ZOT_GetStoreInformation(nullptr, 1), 0);
    EXPECT_EQ(ZOT_FindFirstFileW(nullptr, nullptr), -1);
    EXPECT_EQ(ZOT_FindFirstFile(nullptr, nullptr), -1);
    EXPECT_EQ(ZOT_GetFileAttributesW(nullptr), -1);
    EXPECT_EQ(ZOT_CreateFile(nullptr, 0), -1);
    EXPECT_EQ(ZOT_DeleteFileW(nullptr), 0);
    EXPECT_EQ(ZOT_CopyFileW(nullptr, u"x", 0), 0);
    EXPECT_EQ(ZOT_CopyFileExW(u"a", u"b", 0, nullptr, nullptr, 1), 0);
    EXPECT_EQ(ZOT_MoveFile("a", nullptr), 0);
    EXPECT_EQ(m_sim->RequestCount(), before);
}

TEST_F(Exports, AnsiAndWideFormsReachTheSameEntries) {
    ASSERT_EQ(ZOT_LumoInit(9, 115200, 0), 1);
    EXPECT_NE(ZOT_CreateDirectory("ZOT:\\ansi"), 0);
    EXPECT_EQ(ZOT_GetFileAttributesW(u"ZOT:\\ansi") & ZOT_FILE_ATTRIBUTE_DIRECTORY,
              ZOT_FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_NE(ZOT_RemoveDirectoryW(u"ZOT:\\ansi"), 0);
    EXPECT_EQ(ZOT_GetFileAttributes("ZOT:\\ansi"), -1);
    EXPECT_NE(ZOT_Ring("hello"), 0);
}

TEST_F(Exports, CopyFileExReportsThroughTheCallersWords) {
    ASSERT_EQ(ZOT_LumoInit(9, 115200, 1), 1);
    const fs::path pc = m_root.parent_path() / (m_root.filename().string() + "-pc.bin");
    std::ofstream(pc, std::ios::binary) << std::string(7000, 'z');
    int32_t status = 0, cancel = 0;
    const std::string pcName = pc.string();
    const std::u16string src(pcName.begin(), pcName.end());
    ASSERT_EQ(ZOT_CopyFileExW(src.c_str(), u"ZOT:\\z.bin", 0, &status, &cancel, 1), 1);
    std::atomic_ref<int32_t> s(status);
    while (s.load() < 100) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(status, 100);
    EXPECT_EQ(fs::file_size(m_root / "z.bin"), 7000u);
    EXPECT_EQ(ZOT_MoveFile("ZOT:\\z.bin", pc.string().c_str()), 1);
    EXPECT_FALSE(fs::exists(m_root / "z.bin"));
    fs::remove(pc);
}

TEST_F(Exports, FindRecordNameFillingAllHundredBytesStaysInside) {
    ASSERT_EQ(ZOT_LumoInit(9, 115200, 1), 1);
    ZOT_FIND_DATA d;
    std::memset(&d, 0xCC, sizeof d);
    static_assert(sizeof(ZOT_FIND_DATA) == 120);
    EXPECT_EQ(ZOT_FindFirstFileW(u"ZOT:\\*.none", &d), -1);
}

}  // namespace

namespace {

// The cable pulled and plugged in again: the next call after the terminal is back reaches it
// with no ZOT_LumoInit of the caller's; a call while it is away fails at once and says why.
TEST(ExportsDeviceGone, TheNextCallAfterTheTerminalCameBackReachesIt) {
    char tmpl[] = "/tmp/zotlink-gone-XXXXXX";
    const fs::path root = ::mkdtemp(tmpl);
    const std::string link = (root / "line").string();
    zotsim::Options o;
    o.root = root.string();
    auto plug = [&] {
        auto sim = std::make_unique<zotsim::CSimulator>(o);
        EXPECT_TRUE(sim->OpenPty(link) && sim->Start());
        return sim;
    };
    auto sim = plug();
    ::setenv("COM9", link.c_str(), 1);
    ASSERT_EQ(ZOT_LumoInit(9, 115200, 1), 1);
    ZOT_VERSION_INFO v;
    ASSERT_EQ(ZOT_GetVersion(&v), 1);
    sim->Stop();
    sim.reset();
    const auto start = std::chrono::steady_clock::now();
    errno = 0;
    EXPECT_EQ(ZOT_GetVersion(&v), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(errno, ENODEV);
    sim = plug();
    ZOT_FIND_DATA d;
    const int32_t find = ZOT_FindFirstFileW(u"ZOT:\\*.*", &d);
    EXPECT_EQ(ZOT_GetVersion(&v), 1);
    if (find != -1) ZOT_FindClose(find);
    ZOT_LumoUninit();
    sim->Stop();
    fs::remove_all(root);
}

}  // namespace
