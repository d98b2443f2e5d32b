// The client library through its C boundary, against the terminal simulator.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <thread>

#include "DriftboxClient.h"
#include "refused_access.h"
#include "simulator.h"

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string RandomBytes(size_t n) {
    std::mt19937 rng(static_cast<unsigned>(n));
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>(rng());
    return s;
}

class DriftboxClient : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/driftbox-test-XXXXXX";
        ASSERT_TRUE(mkdtemp(tmpl));
        m_base = tmpl;
        fs::create_directories(m_base / "terminal");
        fs::create_directories(m_base / "pc");
    }
    void TearDown() override {
        if (m_handle) DriftboxClient_ShutDown(m_handle, 0);
        if (m_sim) m_sim->Stop();
        fs::remove_all(m_base);
    }
    void StartSim(const std::string& serverName = "ZotSim", int latencyMs = 0) {
        zotsim::Options o;
        o.root = (m_base / "terminal").string();
        o.serverName = serverName;
        o.latencyMs = latencyMs;
        m_sim = std::make_unique<zotsim::CSimulator>(o);
        ASSERT_TRUE(m_sim->OpenPty());
        ASSERT_TRUE(m_sim->Start());
    }
    void Connect() {
        StartSim();
        ::setenv("COM3", m_sim->SlavePath().c_str(), 1);
        int32_t error = 0;
        m_handle = DriftboxClient_COM_Start(&error, 3, 115200);
        ASSERT_NE(m_handle, 0);
    }
    fs::path Term(const std::string& n) const { return m_base / "terminal" / n; }
    fs::path Pc(const std::string& n) const { return m_base / "pc" / n; }

    fs::path m_base;
    std::unique_ptr<zotsim::CSimulator> m_sim;
    int32_t m_handle = 0;
};

TEST_F(DriftboxClient, StartsOverAComPort) {
    Connect();
    char version[100] = {};
    EXPECT_EQ(RequestGetServerVersion(m_handle, version), 0);
    EXPECT_GT(std::strlen(version), 0u);
}

TEST_F(DriftboxClient, StartsOverUsbNamedByTheEnvironment) {
    StartSim();
    ::setenv("DRIFTBOX_USB", m_sim->SlavePath().c_str(), 1);
    int32_t error = -1;
    m_handle = DriftboxClient_USB_Start(&error);
    EXPECT_NE(m_handle, 0);
    EXPECT_EQ(error, 0);
}

// A terminal pulled out and plugged in again may come back as another device (the next
// /dev/ttyACM): the handle's next call finds it where the USB port now points.
TEST_F(DriftboxClient, AHandleReachesItsTerminalPluggedInAgainUnderAnotherDevice) {
    StartSim();
    ::setenv("DRIFTBOX_USB", m_sim->SlavePath().c_str(), 1);
    int32_t error = -1;
    m_handle = DriftboxClient_USB_Start(&error);
    ASSERT_NE(m_handle, 0);
    m_sim->Stop();
    m_sim.reset();
    int64_t bytes = 0;
    EXPECT_EQ(RequestGetFileSystemFreeExt(m_handle, &bytes), 1);
    StartSim();
    ::setenv("DRIFTBOX_USB", m_sim->SlavePath().c_str(), 1);
    EXPECT_EQ(RequestGetFileSystemFreeExt(m_handle, &bytes), 0);
}

TEST_F(DriftboxClient, StartFailsOnAMissingPortOrASilentLine) {
    ::setenv("COM4", "/nonexistent/tty", 1);
    int32_t error = 0;
    EXPECT_EQ(DriftboxClient_COM_Start(&error, 4, 115200), 0);
    EXPECT_EQ(error, 2);
    EXPECT_EQ(DriftboxClient_COM_Start(&error, 0, 115200), 0);
    EXPECT_EQ(error, 1);
}

// The error int tells "cannot be opened" (2) from "no answer" (3); errno says why it did not
// open, and is 0 when it opened and nothing answered. The quiet start waits out every attempt.
TEST_F(DriftboxClient, FailedStartLeavesWhyInErrno) {
    ::setenv("COM4", (m_base / "ttyUSB9").c_str(), 1);
    int32_t error = 0;
    errno = 0;
    EXPECT_EQ(DriftboxClient_COM_Start(&error, 4, 115200), 0);
    EXPECT_EQ(error, 2);
    EXPECT_EQ(errno, ENOENT);

    const std::string locked = (m_base / "locked").string();
    ASSERT_TRUE(qs::test::MakeUnopenable(locked));
    ::setenv("COM4", locked.c_str(), 1);
    EXPECT_TRUE(qs::test::AsUnprivilegedUser([] {
        int32_t e = 0;
        errno = 0;
        return DriftboxClient_COM_Start(&e, 4, 115200) == 0 && e == 2 && errno == EACCES;
    }));

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    ::setenv("COM4", ::ptsname(master), 1);
    errno = EAGAIN;
    EXPECT_EQ(DriftboxClient_COM_Start(&error, 4, 115200), 0);
    EXPECT_EQ(error, 3);
    EXPECT_EQ(errno, 0);
    ::close(master);
    ::unsetenv("COM4");
}

TEST_F(DriftboxClient, SystemInfoCarriesTheServerDescriptionAtByte92) {
    StartSim("Plinth 2.1");
    ::setenv("COM3", m_sim->SlavePath().c_str(), 1);
    int32_t error = 0;
    m_handle = DriftboxClient_COM_Start(&error, 3, 115200);
    ASSERT_NE(m_handle, 0);
    static_assert(sizeof(DRIFTBOX_SYSTEM_INFO) == 156);
    static_assert(offsetof(DRIFTBOX_SYSTEM_INFO, szServerDescription) == 92);
    DRIFTBOX_SYSTEM_INFO info{};
    info.dwSize = sizeof info;
    EXPECT_EQ(RequestGetSystemInfo(m_handle, &info), 0);
    EXPECT_STREQ(info.szServerDescription, "Plinth 2.1");
}

TEST_F(DriftboxClient, FindListsEveryEntryOnce) {
    Connect();
    std::ofstream(Term("a.txt")) << "a";
    std::ofstream(Term("b.bin")) << std::string(3000, 'b');
    fs::create_directory(Term("dir"));
    static_assert(sizeof(DRIFTBOX_FIND_DATA) == 1064);
    static_assert(offsetof(DRIFTBOX_FIND_DATA, llTimeMs) == 16);
    static_assert(offsetof(DRIFTBOX_FIND_DATA, ullSize) == 24);
    static_assert(offsetof(DRIFTBOX_FIND_DATA, szName) == 36);
    DRIFTBOX_FIND_DATA d{};
    std::map<std::string, DRIFTBOX_FIND_DATA> seen;
    ASSERT_EQ(RequestFindFileOpenExt(m_handle, "*.*", &d), 100);
    do seen[d.szName] = d;
    while (RequestFindFileNextExt(m_handle, &d) == 0);
    RequestFindFileCloseExt(m_handle);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen["b.bin"].ullSize, 3000u);
    EXPECT_GT(seen["a.txt"].llTimeMs, 1000000000000LL);
    EXPECT_EQ(seen["a.txt"].llTimeMs % 1000, 0);
    EXPECT_TRUE(seen["dir"].dwAttributes & 0x10);
}

TEST_F(DriftboxClient, FindInAnEmptyStoreFindsNothing) {
    Connect();
    DRIFTBOX_FIND_DATA d{};
    EXPECT_NE(RequestFindFileOpenExt(m_handle, "*.*", &d), 100);
    RequestFindFileCloseExt(m_handle);
}

TEST_F(DriftboxClient, SendAndReceiveAreByteIdenticalWithStatus100) {
    Connect();
    for (size_t n : {0u, 2048u, 5000u, 70000u}) {
        const std::string data = RandomBytes(n);
        const std::string name = "f" + std::to_string(n);
        std::ofstream(Pc(name), std::ios::binary) << data;
        int32_t status = 0, cancel = 0;
        ASSERT_EQ(
            RequestSendFileExt(m_handle, Pc(name).c_str(), name.c_str(), &status, 0, &cancel, 1),
            0);
        EXPECT_EQ(status, 100) << n;
        EXPECT_EQ(Slurp(Term(name)), data) << n;
        status = 0;
        const fs::path back = Pc(name + ".back");
        ASSERT_EQ(
            RequestReceiveFileExt(m_handle, name.c_str(), back.c_str(), &status, 0, &cancel, 1), 0);
        EXPECT_EQ(status, 100) << n;
        EXPECT_EQ(Slurp(back), data) << n;
    }
}

TEST_F(DriftboxClient, ExistingTargetsAreReplaced) {
    Connect();
    std::ofstream(Term("x")) << "old and longer";
    std::ofstream(Pc("x")) << "new";
    int32_t status = 0, cancel = 0;
    RequestSendFileExt(m_handle, Pc("x").c_str(), "x", &status, 0, &cancel, 1);
    EXPECT_EQ(status, 100);
    EXPECT_EQ(Slurp(Term("x")), "new");
}

TEST_F(DriftboxClient, FailuresHaveTheirStatus) {
    Connect();
    int32_t status = 0, cancel = 0;
    RequestReceiveFileExt(m_handle, "missing", Pc("m").c_str(), &status, 0, &cancel, 1);
    EXPECT_EQ(status, 102);
    RequestSendFileExt(m_handle, Pc("missing").c_str(), "m", &status, 0, &cancel, 1);
    EXPECT_EQ(status, 102);
    std::ofstream(Term("t")) << "t";
    fs::create_directory(Pc("dir"));
    RequestReceiveFileExt(m_handle, "t", Pc("dir").c_str(), &status, 0, &cancel, 1);
    EXPECT_EQ(status, 105);
}

TEST_F(DriftboxClient, CancelStopsATransferFromAnotherThread) {
    StartSim("ZotSim", 5);
    ::setenv("COM3", m_sim->SlavePath().c_str(), 1);
    int32_t error = 0;
    m_handle = DriftboxClient_COM_Start(&error, 3, 115200);
    ASSERT_NE(m_handle, 0);
    std::ofstream(Pc("big"), std::ios::binary) << RandomBytes(2048 * 40);
    int32_t status = 0, cancel = 0;
    std::thread canceller([&] {
        std::atomic_ref<int32_t> s(status);
        while (s.load() < 2) std::this_thread::yield();
        std::atomic_ref<int32_t>(cancel).store(1);
    });
    RequestSendFileExt(m_handle, Pc("big").c_str(), "big", &status, 0, &cancel, 1);
    canceller.join();
    EXPECT_EQ(status, 104);
    EXPECT_LT(fs::file_size(Term("big")), 2048u * 40);
}

TEST_F(DriftboxClient, DeleteAndStoreSizes) {
    Connect();
    std::ofstream(Term("d")) << "d";
    EXPECT_EQ(RequestDeleteFileExt(m_handle, "d"), 0);
    EXPECT_FALSE(fs::exists(Term("d")));
    EXPECT_NE(RequestDeleteFileExt(m_handle, "d"), 0);
    int64_t freeBytes = -1, total = -1;
    EXPECT_EQ(RequestGetFileSystemFreeExt(m_handle, &freeBytes), 0);
    EXPECT_EQ(RequestGetFileSystemTotalExt(m_handle, &total), 0);
    EXPECT_GT(total, 0);
    EXPECT_LE(freeBytes, total);
}

TEST_F(DriftboxClient, TwoConnectionsAreIndependent) {
    Connect();
    zotsim::Options o;
    o.root = (m_base / "pc").string();
    zotsim::CSimulator second(o);
    ASSERT_TRUE(second.OpenPty());
    ASSERT_TRUE(second.Start());
    ::setenv("DRIFTBOX_USB", second.SlavePath().c_str(), 1);
    int32_t error = 0;
    const int32_t other = DriftboxClient_USB_Start(&error);
    ASSERT_NE(other, 0);
    std::ofstream(Term("only-here")) << "1";
    DRIFTBOX_FIND_DATA d{};
    EXPECT_EQ(RequestFindFileOpenExt(m_handle, "only-here", &d), 100);
    EXPECT_NE(RequestFindFileOpenExt(other, "only-here", &d), 100);
    DriftboxClient_ShutDown(other, 0);
    second.Stop();
}

TEST_F(DriftboxClient, UnknownHandlesFail) {
    char version[100];
    DRIFTBOX_FIND_DATA d{};
    int64_t n;
    int32_t status = 0, cancel = 0;
    EXPECT_NE(RequestGetServerVersion(12345, version), 0);
    EXPECT_NE(RequestFindFileOpenExt(12345, "*.*", &d), 100);
    EXPECT_NE(RequestGetFileSystemFreeExt(12345, &n), 0);
    EXPECT_NE(RequestSendFileExt(12345, "a", "b", &status, 0, &cancel, 1), 0);
    DriftboxClient_ShutDown(12345, 0);
    RequestFindFileCloseExt(0);
}

}  // namespace
