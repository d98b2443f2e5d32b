#pragma once
// A session connected to a terminal simulator that serves a fresh temporary folder on a
// pseudo-terminal, and a second temporary folder standing for the PC.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "codepage.h"
#include "remote_app.h"
#include "simulator.h"
#include "zot_session.h"

namespace zot::test {

namespace fs = std::filesystem;

class SimSession : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the simulator with options (root filled in) and connects.
    void Start(zotsim::Options options = {}, bool compress = true);

    fs::path TerminalPath(const std::string& name) const { return m_root / name; }
    fs::path PcPath(const std::string& name) const { return m_pc / name; }
    static void WriteBytes(const fs::path& p, const std::string& bytes);
    static std::string ReadBytes(const fs::path& p);
    static std::string RandomBytes(size_t n, unsigned seed = 1);
    // Count of requests of a command the simulator has seen.
    int CountRequests(uint16_t command) const;

    CSession session;
    CRemoteApp& app = session.Engine();
    std::unique_ptr<zotsim::CSimulator> sim;
    fs::path m_root;
    fs::path m_pc;
};

// UTF-16 literal helper for paths built at run time.
WString W(const std::string& utf8);

}  // namespace zot::test
