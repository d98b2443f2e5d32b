// Copies both ways through the simulator while the line misbehaves, and a table of what each
// copy came to. Passes when nothing crashed, no call ran past its bound, every failure came
// with its status code, and no copy reported done differs from its source (compression on).
// Plain frames are measured too: their 8-bit checksum lets some double-bit errors through.
//
//   zotlink_fault_soak [--size BYTES] [--rounds N] [--quick]
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "remote_app.h"
#include "simulator.h"
#include "zot_session.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// A read or write retry runs its own rewind call inside it: one 5 s attempt plus the rewind's
// four make the longest call there can be.
constexpr int64_t kCallBoundMs = 5 * 5000 + 1000;

struct Scenario {
    const char* name;
    double ber = 0;
    std::function<void(zotsim::CSimulator&)> before = nullptr;  // faults planned before
    // Something done to the line while the copy runs, after about a third of it.
    std::function<void(zotsim::CSimulator&)> during = nullptr;
    std::function<void(zotsim::CSimulator&)> after = nullptr;  // puts things right again
    bool mayFail = false;                                      // failures are expected here
};

struct Row {
    std::string scenario, direction;
    bool compress;
    int status;
    bool identical;
    double seconds;
    int64_t longestCallMs;
};

std::string RandomBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>(rng());
    return s;
}

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

zot::CopyEnd Pc(const fs::path& p) {
    return zot::CopyEnd{false, p.string()};
}

zot::CopyEnd Terminal(const std::string& name) {
    return zot::CopyEnd{true, "ZOT:\\" + name};
}

class Soak {
  public:
    Soak(size_t size, int rounds) : m_size(size), m_rounds(rounds) {
        char tmpl[] = "/tmp/zotlink-soak-XXXXXX";
        m_base = mkdtemp(tmpl);
        fs::create_directories(m_base / "terminal");
        fs::create_directories(m_base / "pc");
    }
    ~Soak() { fs::remove_all(m_base); }

    void Run(const Scenario& sc, bool compress) {
        zotsim::Options o;
        o.root = (m_base / "terminal").string();
        o.bitErrorRate = sc.ber;
        o.seed = static_cast<uint32_t>(m_rows.size() + 1);
        zotsim::CSimulator sim(o);
        const std::string link = (m_base / "line").string();
        if (!sim.OpenPty(link) || !sim.Start()) {
            std::fprintf(stderr, "cannot start the simulator\n");
            std::exit(2);
        }
        zot::CSession session;
        zot::CRemoteApp& app = session.Engine();
        if (!session.OpenDevice(link, 115200, compress)) {
            std::fprintf(stderr, "cannot open the link\n");
            std::exit(2);
        }
        for (int round = 0; round < m_rounds; ++round) {
            for (bool toTerminal : {true, false}) {
                const std::string name = "f" + std::to_string(m_rows.size());
                const std::string data = RandomBytes(m_size, static_cast<unsigned>(m_rows.size()));
                const fs::path pc = m_base / "pc" / name;
                const fs::path term = m_base / "terminal" / name;
                std::ofstream(toTerminal ? pc : term, std::ios::binary) << data;
                if (sc.before) sc.before(sim);
                const zot::CopyEnd from = toTerminal ? Pc(pc) : Terminal(name);
                const zot::CopyEnd to = toTerminal ? Terminal(name) : Pc(pc);
                Row row{sc.name, toTerminal ? "PC>T" : "T>PC", compress, 0, false, 0, 0};
                row.status = Copy(session, sim, sc, from, to, &row.seconds);
                row.longestCallMs = app.LongestCallMs();
                row.identical = Slurp(toTerminal ? term : pc) == data;
                m_rows.push_back(row);
                Print(row);
                if (sc.after) {
                    sc.after(sim);
                    // The cable is back: open the link again, as a user would.
                    session.OpenDevice(link, 115200, compress);
                }
            }
        }
        session.Close();
        sim.Stop();
    }

    // Judges the rows; prints the verdict. True when the soak passes.
    bool Verdict() const {
        int done = 0, failed = 0, corruptDone = 0, corruptDonePlain = 0, badStatus = 0, slow = 0;
        for (const Row& r : m_rows) {
            if (r.status == 100) {
                ++done;
                if (!r.identical) (r.compress ? corruptDone : corruptDonePlain)++;
            } else {
                ++failed;
                if (r.status < 102 || r.status > 105) ++badStatus;
            }
            if (r.longestCallMs > kCallBoundMs) ++slow;
        }
        std::printf(
            "\n%d copies: %d done, %d failed with a status code; %d done but different "
            "with compression, %d without; %d calls over %lld ms\n",
            static_cast<int>(m_rows.size()), done, failed, corruptDone, corruptDonePlain, slow,
            static_cast<long long>(kCallBoundMs));
        return corruptDone == 0 && badStatus == 0 && slow == 0;
    }

  private:
    // The copy runs on a thread of its own while this one disturbs the line a third of the
    // way through.
    int Copy(zot::CSession& session, zotsim::CSimulator& sim, const Scenario& sc,
             const zot::CopyEnd& from, const zot::CopyEnd& to, double* seconds) {
        std::atomic<int> percent{0};
        std::atomic<int> outcome{0};
        session.Engine().ResetLongestCall();
        const auto start = Clock::now();
        std::thread copy([&] {
            zot::CopyControl control;
            control.progress = [&](uint64_t i, uint64_t blocks, uint64_t) {
                percent.store(blocks ? static_cast<int>(100 * i / blocks) : 0);
            };
            outcome.store(session.Copy(from, to, control).code);
        });
        bool disturbed = !sc.during;
        while (outcome.load() == 0) {
            if (!disturbed && percent.load() >= 33) {
                sc.during(sim);
                disturbed = true;
            }
            std::this_thread::sleep_for(2ms);
        }
        copy.join();
        *seconds = std::chrono::duration<double>(Clock::now() - start).count();
        return outcome.load();
    }

    static void Print(const Row& r) {
        std::printf("%-26s %-5s %-6s status %3d  %-9s %6.1f s  longest call %5.1f s\n",
                    r.scenario.c_str(), r.direction.c_str(), r.compress ? "zlib" : "plain",
                    r.status, r.status == 100 ? (r.identical ? "identical" : "DIFFERENT") : "",
                    r.seconds, static_cast<double>(r.longestCallMs) / 1000);
        std::fflush(stdout);
    }

    size_t m_size;
    int m_rounds;
    fs::path m_base;
    std::vector<Row> m_rows;
};

zotsim::Fault DropOf(uint16_t command, int count) {
    zotsim::Fault f;
    f.kind = zotsim::Fault::Kind::kDrop;
    f.command = command;
    f.count = count;
    return f;
}

zotsim::Fault DelayOf(uint16_t command, int ms) {
    zotsim::Fault f;
    f.kind = zotsim::Fault::Kind::kDelay;
    f.command = command;
    f.delayMs = ms;
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    size_t size = 256 * 1024;
    int rounds = 1;
    bool quick = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--size") && i + 1 < argc)
            size = std::strtoul(argv[++i], nullptr, 10);
        else if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc)
            rounds = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--quick"))
            quick = true;
        else {
            std::fprintf(stderr, "usage: %s [--size BYTES] [--rounds N] [--quick]\n", argv[0]);
            return 2;
        }
    }
    const uint16_t kRead = zot::kReadFile, kWrite = zot::kWriteFile;
    auto both = [](const zotsim::Fault& a, const zotsim::Fault& b) {
        return [a, b](zotsim::CSimulator& sim) {
            sim.AddFault(a);
            sim.AddFault(b);
        };
    };
    std::vector<Scenario> scenarios = {
        {.name = "clean line"},
        {.name = "bit errors 1e-6", .ber = 1e-6},
        {.name = "bit errors 1e-5", .ber = 1e-5},
        {.name = "dropped replies", .before = both(DropOf(kRead, 1), DropOf(kWrite, 1))},
        {.name = "delayed replies (2 s)",
         .before = both(DelayOf(kRead, 2000), DelayOf(kWrite, 2000))},
        {.name = "replies after time-out",
         .before = both(DelayOf(kRead, 6000), DelayOf(kWrite, 6000))},
        {.name = "terminal goes silent",
         .during =
             [](zotsim::CSimulator& sim) {
                 zotsim::Fault f;
                 f.kind = zotsim::Fault::Kind::kSilence;
                 f.command = -1;
                 sim.AddFault(f);
             },
         .after = [](zotsim::CSimulator& sim) { sim.ClearFaults(); },
         .mayFail = true},
        {.name = "cable pulled, then back",
         .during = [](zotsim::CSimulator& sim) { sim.Unplug(); },
         .after = [](zotsim::CSimulator& sim) { sim.Replug(); },
         .mayFail = true},
    };
    Soak soak(size, rounds);
    std::printf("compression on (zlib frames carry Adler-32 besides the frame checksum)\n");
    for (const auto& sc : scenarios) {
        if (quick && sc.mayFail && &sc != &scenarios.back()) continue;
        soak.Run(sc, true);
    }
    std::printf("\ncompression off (plain frames: the 8-bit checksum alone)\n");
    for (const auto& sc : scenarios) {
        if (sc.ber == 0 && &sc != &scenarios.front()) continue;
        soak.Run(sc, false);
    }
    if (!quick) soak.Run({.name = "bit errors 1e-4", .ber = 1e-4}, false);
    return soak.Verdict() ? 0 : 1;
}
