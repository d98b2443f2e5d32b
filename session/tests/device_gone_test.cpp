// A terminal that goes away and comes back on the same device path, as a cable pulled out and
// plugged in again: the session notices at once and carries on with no help from its caller.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "simulator.h"
#include "zot_session.h"

namespace zot::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class DeviceGone : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/zotlink-gone-XXXXXX";
        ASSERT_TRUE(mkdtemp(tmpl));
        m_base = tmpl;
        fs::create_directories(m_base / "terminal");
        m_link = (m_base / "line").string();
    }
    void TearDown() override {
        session.Close();
        if (m_sim) m_sim->Stop();
        fs::remove_all(m_base);
    }
    void Plug() {
        zotsim::Options o;
        o.root = (m_base / "terminal").string();
        m_sim = std::make_unique<zotsim::CSimulator>(o);
        ASSERT_TRUE(m_sim->OpenPty(m_link));
        ASSERT_TRUE(m_sim->Start());
    }
    void Pull() {
        m_sim->Stop();
        m_sim.reset();
    }

    CSession session;
    fs::path m_base;
    std::string m_link;
    std::unique_ptr<zotsim::CSimulator> m_sim;
};

TEST_F(DeviceGone, ACallWhileTheDeviceIsGoneFailsAtOnceAndTheNextOneAfterItCameBackWorks) {
    Plug();
    ASSERT_TRUE(session.OpenDevice(m_link, 115200, true));
    ASSERT_TRUE(session.Version());
    Pull();
    const auto start = Clock::now();
    const auto gone = session.Version();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
    EXPECT_TRUE(gone.status.DeviceGone()) << Describe(gone.status);
    // Each call while it stays away tries it again and says so.
    EXPECT_TRUE(session.Version().status.DeviceGone());
    EXPECT_TRUE(session.DeviceGone());
    Plug();
    const auto back = session.List("ZOT:\\*.*");
    EXPECT_TRUE(back.Ok()) << Describe(back.status);
    EXPECT_EQ(session.Reopens(), 1u);
}

}  // namespace
}  // namespace zot::test
