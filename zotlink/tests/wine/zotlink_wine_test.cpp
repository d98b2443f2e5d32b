// Zotlink's Win32 side under Wine: ZOT_WINE_PORT is served by a simulator whose store is the
// folder ZOT_WINE_STORE; ZOT_WINE_THIRD_PORT by one that drops the first two requests.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>

#include "open_failure.h"
#include "remote_app.h"
#include "remote_calls.h"
#include "zotlink.h"

namespace {

int Port(const char* var) {
    const char* v = std::getenv(var);
    return v ? std::atoi(v) : 0;
}

std::wstring Env(const wchar_t* var) {
    wchar_t buf[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(var, buf, MAX_PATH);
    return n && n < MAX_PATH ? std::wstring(buf, n) : std::wstring();
}

std::string ReadAll(const std::wstring& path) {
    std::ifstream f(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

void WriteRandom(const std::wstring& path, size_t n) {
    std::mt19937 gen(7);
    std::string bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(gen());
    std::ofstream(path.c_str(), std::ios::binary).write(bytes.data(), bytes.size());
}

class ZotlinkUnderWine : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!Port("ZOT_WINE_PORT") || Env(L"ZOT_WINE_STORE").empty())
            GTEST_SKIP() << "run by scripts/windows.sh";
        m_pc = Env(L"ZOT_WINE_PC");
    }
    void TearDown() override { ZOT_LumoUninit(); }
    std::wstring m_pc;
};

TEST_F(ZotlinkUnderWine, OpensTheComPortAndTheTerminalAnswers) {
    ASSERT_EQ(ZOT_LumoInit(Port("ZOT_WINE_PORT"), 115200, 1), 1);
    ZOT_VERSION_INFO v{};
    EXPECT_EQ(ZOT_GetVersion(&v), 1);
}

TEST_F(ZotlinkUnderWine, AMissingPortFailsAndAReopenRightAfterCloseWorks) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(ZOT_LumoInit(99, 115200, 1), 0);
    EXPECT_EQ(qs::OpenFailureFromSystemError(static_cast<int>(GetLastError())),
              qs::OpenFailure::kMissing)
        << GetLastError();
    ZOT_VERSION_INFO v{};
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(ZOT_LumoInit(Port("ZOT_WINE_PORT"), 115200, 1), 1) << round;
        EXPECT_EQ(ZOT_GetVersion(&v), 1) << round;
        ZOT_LumoUninit();
    }
}

// A 1 MiB file each way, with and without compression, through the copy thread, with a
// non-ASCII PC name.
TEST_F(ZotlinkUnderWine, CopiesAreByteIdenticalBothWays) {
    const std::wstring source = m_pc + L"\\gr\u00fc\u00dfe.bin";
    WriteRandom(source, 1 << 20);
    for (int compress = 0; compress < 2; ++compress) {
        ASSERT_EQ(ZOT_LumoInit(Port("ZOT_WINE_PORT"), 115200, compress), 1);
        int32_t status = 0, cancel = 0;
        ASSERT_EQ(ZOT_CopyFileExW(source.c_str(), L"ZOT:\\big.bin", 0, &status, &cancel, 1), 1);
        while (std::atomic_ref<int32_t>(status).load() < 100) Sleep(20);
        EXPECT_EQ(status, ZOT_COPY_DONE);
        EXPECT_EQ(ReadAll(Env(L"ZOT_WINE_STORE") + L"\\big.bin"), ReadAll(source));
        const std::wstring back = m_pc + L"\\zur\u00fcck.bin";
        EXPECT_EQ(ZOT_CopyFileW(L"ZOT:\\big.bin", back.c_str(), 0), 1);
        EXPECT_EQ(ReadAll(back), ReadAll(source)) << "compress " << compress;
        ZOT_LumoUninit();
    }
}

// A PC name that the ANSI code page (1252 in the test's prefix) cannot spell opens too: the
// library hands the PC file end UTF-8, never ANSI text, which would turn it into '?'.
TEST_F(ZotlinkUnderWine, PcNamesOutsideTheAnsiCodePageCopyBothWays) {
    const std::wstring source = m_pc + L"\\\u03a9\u043c\u0435\u0433\u0430.bin";
    WriteRandom(source, 5000);
    ASSERT_EQ(ReadAll(source).size(), 5000u);
    ASSERT_EQ(ZOT_LumoInit(Port("ZOT_WINE_PORT"), 115200, 1), 1);
    EXPECT_EQ(ZOT_CopyFileW(source.c_str(), L"ZOT:\\omega.bin", 0), 1);
    EXPECT_EQ(ReadAll(Env(L"ZOT_WINE_STORE") + L"\\omega.bin"), ReadAll(source));
    const std::wstring back = m_pc + L"\\\u0436\u2192.bin";
    EXPECT_EQ(ZOT_CopyFileW(L"ZOT:\\omega.bin", back.c_str(), 0), 1);
    EXPECT_EQ(ReadAll(back), ReadAll(source));
}

TEST_F(ZotlinkUnderWine, CancelStopsACopyAfterTheBlockInProgress) {
    const std::wstring source = m_pc + L"\\cancel.bin";
    WriteRandom(source, 1 << 20);
    ASSERT_EQ(ZOT_LumoInit(Port("ZOT_WINE_PORT"), 115200, 1), 1);
    int32_t status = 0, cancel = 0;
    ASSERT_EQ(ZOT_CopyFileExW(source.c_str(), L"ZOT:\\cancel.bin", 0, &status, &cancel, 1), 1);
    while (std::atomic_ref<int32_t>(status).load() < 2) Sleep(1);
    std::atomic_ref<int32_t>(cancel).store(1);
    while (std::atomic_ref<int32_t>(status).load() < 100) Sleep(5);
    EXPECT_EQ(status, ZOT_COPY_CANCELLED);
}

TEST(EngineUnderWine, ATerminalThatAnswersTheThirdAttemptAdvancesTheCounterByThree) {
    const int port = Port("ZOT_WINE_THIRD_PORT");
    if (!port) GTEST_SKIP() << "run by scripts/windows.sh";
    zot::CRemoteApp app;
    app.SetReplyTimeout(500);
    ASSERT_EQ(app.LumoInit(port, 115200, 1), 1);
    const uint32_t before = app.CurrentSequence();
    zot::VersionInfo v{};
    EXPECT_EQ(zot::calls::GetVersion(app, &v), 1);
    EXPECT_EQ(app.CurrentSequence() - before, 3u);
    app.LumoUninit();
}

}  // namespace
