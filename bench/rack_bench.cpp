// A rack of terminals collected at once: four simulated terminals, each on a line of its own
// at 115200 baud, copied off with one zot command, against the same copy from one terminal.
// Every line is its own, so four should take hardly longer than one: the PC must not be what
// limits them.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common.h"
#include "process.h"

namespace bench {
namespace {

struct Rack {
    ScratchDir dir{"rack"};
    std::vector<std::unique_ptr<ChildProcess>> sims;
    std::vector<std::string> devices;
    std::string bytes;
};

bool StartRack(Rack& rack, int terminals, size_t size) {
    rack.bytes = RandomBytes(size, 77);
    for (int i = 0; i < terminals; ++i) {
        const fs::path root = rack.dir.path() / ("terminal" + std::to_string(i));
        fs::create_directories(root);
        WriteFile(root / "SCANS.DAT", rack.bytes);
        ChildProcess* sim = nullptr;
        const std::string device =
            StartSimulator(&sim, root.string(), "", {"--baud", std::to_string(kBaud)});
        rack.sims.emplace_back(sim);
        if (device.empty()) return false;
        rack.devices.push_back(device);
    }
    return true;
}

// Seconds for one zot get of the file from every terminal of the rack, or -1 on failure.
double Collect(Rack& rack, const std::string& tag) {
    const fs::path dest = rack.dir.path() / tag;
    fs::create_directories(dest);
    std::vector<std::string> argv = {OwnDirectory() + "/zot", "--baud", std::to_string(kBaud)};
    for (const auto& d : rack.devices) argv.insert(argv.end(), {"--device", d});
    argv.insert(argv.end(), {"get", "SCANS.DAT", dest.string()});
    const auto start = Clock::now();
    ChildProcess zot(argv, "", "");
    const int rc = zot.Wait();
    const double seconds = Seconds(Clock::now() - start);
    if (rc != 0) return -1;
    // One terminal writes DEST/SCANS.DAT, several DEST/<terminal>/SCANS.DAT.
    for (const auto& d : rack.devices) {
        const fs::path file = rack.devices.size() == 1
                                  ? dest / "SCANS.DAT"
                                  : dest / fs::path(d).filename() / "SCANS.DAT";
        if (ReadFile(file) != rack.bytes) return -1;
    }
    return seconds;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
    using namespace bench;
    size_t size = 128 * 1024;
    if (!ParseSizeOption(argc, argv, "bench_rack", &size)) return 2;
    Rack one, four;
    if (!StartRack(one, 1, size) || !StartRack(four, 4, size)) {
        std::printf("figure 7 rack: simulators did not start  FAILED\n");
        return 1;
    }
    const double t1 = Collect(one, "one");
    const double t4 = Collect(four, "four");
    std::printf("rack of terminals at %d baud, %zu random bytes from each with one zot get:\n",
                kBaud, size);
    std::printf("  1 terminal  %.2f s\n  4 terminals %.2f s\n", t1, t4);
    const bool ok = t1 > 0 && t4 > 0 && t4 <= 1.15 * t1;
    std::printf("figure 7 rack: four terminals take %.2f x the time of one (target <= 1.15)  %s\n",
                t1 > 0 && t4 > 0 ? t4 / t1 : 0.0, ok ? "PASS" : "BELOW TARGET");
    return ok ? 0 : 1;
}
