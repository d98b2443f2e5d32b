#pragma once
// Helpers shared by the benchmark programs: scratch folders, test data, one terminal
// simulator with its own library session, and the line arithmetic every figure uses.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "codepage.h"
#include "remote_app.h"
#include "simulator.h"
#include "zot_session.h"

namespace bench {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

inline constexpr int kBaud = 115200;
// 8N1: ten bit times a byte.
inline constexpr double kLineBytesPerSecond = kBaud / 10.0;
// Largest --size: the test data is held in memory.
inline constexpr size_t kMaxSize = size_t{1} << 30;

double Seconds(Clock::duration d);
// Time a line of kBaud needs for bytes.
double LineSeconds(uint64_t bytes);

// A fresh folder under /tmp, removed with its contents when the object goes.
class ScratchDir {
  public:
    explicit ScratchDir(const std::string& tag);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const fs::path& path() const { return m_path; }

  private:
    fs::path m_path;
};

std::string RandomBytes(size_t n, uint32_t seed);
// What a stock-taking terminal exports: one scan a line (time, EAN-13 code, quantity, bin,
// operator). Digits of the codes are random, so it compresses like real scan logs do, not
// like repeated text.
std::string BarcodeCsv(size_t n, uint32_t seed);
void WriteFile(const fs::path& p, const std::string& bytes);
std::string ReadFile(const fs::path& p);

// A positive whole number of at most max from the command line; false for anything else.
bool ParseCount(const char* text, size_t max, size_t* out);
// The options of a benchmark that takes only "--size BYTES": false, after printing the usage
// line, for anything else.
bool ParseSizeOption(int argc, char** argv, const char* program, size_t* size);

// Plain ASCII to the library's UTF-16 paths.
zot::WString Wide(const std::string& ascii);

// One simulated terminal on a pseudo-terminal of its own and one library session talking to
// it; many can run in one process.
class SimLink {
  public:
    // baud 0: the simulator does not pace the line. latencyTimerMs: a USB adapter's latency
    // timer between the line and the library (0 none).
    SimLink(const std::string& tag, int baud, bool compress, double bitErrorRate = 0,
            int latencyTimerMs = 0);
    ~SimLink();
    bool ok() const { return m_ok; }
    const fs::path& terminal() const { return m_terminal; }
    const fs::path& pc() const { return m_pc; }
    zot::CRemoteApp& app() { return m_session->Engine(); }
    zot::CSession& session() { return *m_session; }
    zotsim::CSimulator& sim() { return *m_sim; }
    uint64_t LineBytes() const { return m_sim->BytesReceived() + m_sim->BytesSent(); }

  private:
    ScratchDir m_dir;
    fs::path m_terminal;
    fs::path m_pc;
    std::unique_ptr<zotsim::CSimulator> m_sim;
    std::unique_ptr<zot::CSession> m_session;
    bool m_ok = false;
};

}  // namespace bench
