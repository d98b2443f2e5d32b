// Line efficiency on a noisy line: the command-line client against the simulator program
// with random bit errors, both as users run them, so the client's own going-on after a
// failed copy is part of what is measured. All runs go at once (pacing sleeps).
#include <cstdio>
#include <future>
#include <string>
#include <vector>

#include "common.h"
#include "process.h"

namespace bench {
namespace {

struct NoisyCase {
    double rate;
    bool put;
};

struct NoisyResult {
    bool identical = false;
    int exitCode = -1;
    double seconds = 0;
    int resumptions = 0;  // copies zot went on with after a failure
    int timeouts = 0;     // attempts that waited out the whole reply time
    int lostReplies = 0;  // attempts ended early because their reply was known to be lost
};

int CountLines(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
}

NoisyResult RunNoisy(const NoisyCase& c, size_t size, int index) {
    NoisyResult r;
    ScratchDir dir("noisy" + std::to_string(index));
    const fs::path terminal = dir.path() / "terminal";
    const fs::path pc = dir.path() / "pc";
    fs::create_directories(terminal);
    fs::create_directories(pc);
    const std::string bytes = RandomBytes(size, 100u + static_cast<uint32_t>(index));
    const fs::path pcFile = pc / "RND.BIN";
    const fs::path terminalFile = terminal / "RND.BIN";
    WriteFile(c.put ? pcFile : terminalFile, bytes);

    char rate[32];
    std::snprintf(rate, sizeof rate, "%g", c.rate);
    ChildProcess* simRaw = nullptr;
    const std::string device = StartSimulator(
        &simRaw, terminal.string(), "",
        {"--baud", std::to_string(kBaud), "--ber", rate, "--seed", std::to_string(11 + index)});
    std::unique_ptr<ChildProcess> sim(simRaw);
    if (device.empty()) return r;

    const std::string log = (dir.path() / "zot.log").string();
    std::vector<std::string> argv = {OwnDirectory() + "/zot", "--device", device, "--baud",
                                     std::to_string(kBaud)};
    if (c.put) {
        argv.insert(argv.end(), {"put", pcFile.string(), "ZOT:\\RND.BIN"});
    } else {
        argv.insert(argv.end(), {"get", "RND.BIN", pcFile.string()});
    }
    const auto start = Clock::now();
    ChildProcess zot(argv, "", log, {"ZOTLINK_TRACE=1"});
    r.exitCode = zot.Wait();
    r.seconds = Seconds(Clock::now() - start);
    sim->Terminate();
    sim->Wait();
    const std::string trace = ReadFile(log);
    r.resumptions = CountLines(trace, "resuming, attempt");
    r.timeouts = CountLines(trace, "no reply");
    r.lostReplies = CountLines(trace, "reply lost");
    r.identical = ReadFile(c.put ? terminalFile : pcFile) == bytes;
    return r;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
    using namespace bench;
    size_t size = 256 * 1024;
    if (!ParseSizeOption(argc, argv, "bench_noisy", &size)) return 2;
    const std::vector<NoisyCase> cases = {{1e-6, true}, {1e-6, false}, {1e-5, true}, {1e-5, false}};
    std::vector<std::future<NoisyResult>> runs;
    for (size_t i = 0; i < cases.size(); ++i)
        runs.push_back(
            std::async(std::launch::async, RunNoisy, cases[i], size, static_cast<int>(i)));
    std::printf("noisy line at %d baud, %zu random bytes a copy with zot (zlib on):\n", kBaud,
                size);
    bool pass = true;
    double putAt1e5 = 0, getAt1e5 = 0;
    for (size_t i = 0; i < cases.size(); ++i) {
        const NoisyResult r = runs[i].get();
        const double eff = static_cast<double>(size) / r.seconds / kLineBytesPerSecond;
        std::printf(
            "  ber %-6g %-15s %6.3f  (%.1f s; %d resumptions, %d time-outs, %d replies "
            "lost; exit %d; %s)\n",
            cases[i].rate, cases[i].put ? "PC -> terminal" : "terminal -> PC", eff, r.seconds,
            r.resumptions, r.timeouts, r.lostReplies, r.exitCode,
            r.identical ? "identical" : "DIFFERENT");
        if (!r.identical || r.exitCode != 0) pass = false;
        if (cases[i].rate >= 1e-5) (cases[i].put ? putAt1e5 : getAt1e5) = eff;
    }
    // A lost request costs about one round trip, so writes keep most of the line too.
    const bool ok = pass && putAt1e5 >= 0.75 && getAt1e5 >= 0.50;
    std::printf(
        "figure 6 noisy line: put %.3f, get %.3f of line rate at ber 1e-5 (target put >= 0.75, "
        "get >= 0.50), files %s  %s\n",
        putAt1e5, getAt1e5, pass ? "all identical" : "NOT all identical",
        ok ? "PASS" : "BELOW TARGET");
    return ok ? 0 : 1;
}
