// What the PC side costs per round trip: whole-file copies over an unpaced pseudo-terminal to
// the simulator program in a process of its own, so this process's processor time is the
// library's (the copying thread, which also reads the replies, and the PC file's reads and
// writes).
#include <sys/resource.h>

#include <cstdio>
#include <memory>
#include <string>

#include "common.h"
#include "process.h"
#include "zot_session.h"

namespace bench {
namespace {

double CpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Run {
    bool ok = false;
    double mbPerSecond = 0;
    double cpuMsPerMiB = 0;
};

Run Copy(zot::CSession& session, const zot::CopyEnd& from, const fs::path& to,
         const zot::CopyEnd& toEnd, const std::string& bytes) {
    Run r;
    const double cpu = CpuSeconds();
    const auto start = Clock::now();
    const bool ok = session.Copy(from, toEnd).code == zot::kCopyDone;
    const double seconds = Seconds(Clock::now() - start);
    const double mib = static_cast<double>(bytes.size()) / (1024 * 1024);
    r.cpuMsPerMiB = (CpuSeconds() - cpu) * 1000 / mib;
    r.mbPerSecond = static_cast<double>(bytes.size()) / 1e6 / seconds;
    r.ok = ok && ReadFile(to) == bytes;
    return r;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
    using namespace bench;
    size_t size = 16 * 1024 * 1024;
    if (!ParseSizeOption(argc, argv, "bench_roundtrip", &size)) return 2;
    ScratchDir dir("roundtrip");
    const fs::path terminal = dir.path() / "terminal";
    const fs::path pc = dir.path() / "pc";
    fs::create_directories(terminal);
    fs::create_directories(pc);
    ChildProcess* simRaw = nullptr;
    const std::string device = StartSimulator(&simRaw, terminal.string(), "", {});
    std::unique_ptr<ChildProcess> sim(simRaw);
    if (device.empty()) {
        std::fprintf(stderr, "bench_roundtrip: the simulator did not start\n");
        return 1;
    }
    const std::string bytes = RandomBytes(size, 5);
    WriteFile(pc / "up.bin", bytes);
    WriteFile(terminal / "DOWN.BIN", bytes);
    std::printf("round trips on an unpaced pseudo-terminal, %zu random bytes each way:\n", size);
    bool pass = true;
    double worst = 1e9;
    for (int compress = 0; compress < 2; ++compress) {
        zot::CSession session;
        if (!session.OpenDevice(device, kBaud, compress != 0)) return 1;
        const Run up = Copy(session, {false, (pc / "up.bin").string()}, terminal / "UP.BIN",
                            {true, "ZOT:\\UP.BIN"}, bytes);
        const Run down = Copy(session, {true, "ZOT:\\DOWN.BIN"}, pc / "down.bin",
                              {false, (pc / "down.bin").string()}, bytes);
        for (const Run* r : {&up, &down}) {
            std::printf("  %-5s %-15s %6.2f MB/s, library %5.1f ms of processor per MiB%s\n",
                        compress ? "zlib" : "plain", r == &up ? "PC -> terminal" : "terminal -> PC",
                        r->mbPerSecond, r->cpuMsPerMiB, r->ok ? "" : "  FAILED");
            pass = pass && r->ok;
            worst = std::min(worst, r->mbPerSecond);
        }
        session.Close();
    }
    const bool ok = pass && worst >= 5.0;
    std::printf(
        "figure 2 round-trip cost: %.2f MB/s slowest (target >= 5), %.0f times the "
        "115200 line  %s\n",
        worst, worst * 1e6 / kLineBytesPerSecond, ok ? "PASS" : "BELOW TARGET");
    return ok ? 0 : 1;
}
