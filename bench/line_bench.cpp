// Line efficiency of whole-file copies and the cost of a folder listing on a simulated
// 115200-baud line. Every paced run gets its own simulator and library session and all run at
// once: pacing sleeps, so they do not compete for the processor, and the whole figure takes
// as long as its slowest copy instead of the sum of them.
#include <cstdio>
#include <cstring>
#include <future>
#include <string>
#include <vector>

#include "common.h"
#include "remote_calls.h"

namespace bench {
namespace {

struct CopyCase {
    const char* data;  // "random" or "csv"
    bool compress;
    bool put;  // PC to terminal
};

struct CopyResult {
    bool ok = false;
    double seconds = 0;
    uint64_t lineBytes = 0;
};

CopyResult RunCopy(const CopyCase& c, size_t size, int index) {
    CopyResult r;
    SimLink link("copy" + std::to_string(index), kBaud, c.compress);
    if (!link.ok()) return r;
    const std::string bytes = std::strcmp(c.data, "csv") == 0
                                  ? BarcodeCsv(size, 7u + static_cast<uint32_t>(index))
                                  : RandomBytes(size, 7u + static_cast<uint32_t>(index));
    const fs::path pcFile = link.pc() / "data.bin";
    const fs::path terminalFile = link.terminal() / "DATA.BIN";
    WriteFile(c.put ? pcFile : terminalFile, bytes);
    const zot::CopyEnd pc{false, pcFile.string()};
    const zot::CopyEnd terminal{true, "ZOT:\\DATA.BIN"};
    const uint64_t before = link.LineBytes();
    const auto start = Clock::now();
    const bool copied =
        (c.put ? link.session().Copy(pc, terminal) : link.session().Copy(terminal, pc)).code ==
        zot::kCopyDone;
    r.seconds = Seconds(Clock::now() - start);
    r.lineBytes = link.LineBytes() - before;
    r.ok = copied && ReadFile(c.put ? terminalFile : pcFile) == bytes;
    return r;
}

struct ListResult {
    bool ok = false;
    int entries = 0;
    double seconds = 0;
    uint64_t lineBytes = 0;
};

ListResult RunListing(int count, bool compress) {
    ListResult r;
    SimLink link(compress ? "listz" : "list", kBaud, compress);
    if (!link.ok()) return r;
    const fs::path folder = link.terminal() / "SCANS";
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "S%06d.CSV", i);
        WriteFile(folder / name, std::string(static_cast<size_t>(i % 200), 'x'));
    }
    const uint64_t before = link.LineBytes();
    const auto start = Clock::now();
    zot::FindRecord d{};
    const int32_t h = zot::calls::FindFirstFile(link.app(), "ZOT:\\SCANS\\*.*", &d);
    if (h != -1) {
        do ++r.entries;
        while (zot::calls::FindNextFile(link.app(), h, &d));
        zot::calls::FindClose(link.app(), h);
    }
    r.seconds = Seconds(Clock::now() - start);
    r.lineBytes = link.LineBytes() - before;
    r.ok = r.entries == count;
    return r;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
    using namespace bench;
    size_t size = 1024 * 1024;
    size_t entries = 1000;
    bool copies = true, listing = true;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--size" && i + 1 < argc && ParseCount(argv[i + 1], kMaxSize, &size))
            ++i;
        else if (a == "--entries" && i + 1 < argc && ParseCount(argv[i + 1], 100000, &entries))
            ++i;
        else if (a == "--copies-only")
            listing = false;
        else if (a == "--listing-only")
            copies = false;
        else {
            std::fprintf(stderr,
                         "usage: bench_line [--size BYTES] [--entries N] "
                         "[--copies-only | --listing-only]\n");
            return 2;
        }
    }
    const int listCount = static_cast<int>(entries);
    const std::vector<CopyCase> cases = {
        {"random", false, true}, {"random", false, false}, {"random", true, true},
        {"random", true, false}, {"csv", false, true},     {"csv", false, false},
        {"csv", true, true},     {"csv", true, false},
    };
    std::vector<std::future<CopyResult>> copyRuns;
    if (copies)
        for (size_t i = 0; i < cases.size(); ++i)
            copyRuns.push_back(
                std::async(std::launch::async, RunCopy, cases[i], size, static_cast<int>(i)));
    std::future<ListResult> plainList, zlibList;
    if (listing) {
        plainList = std::async(std::launch::async, RunListing, listCount, false);
        zlibList = std::async(std::launch::async, RunListing, listCount, true);
    }

    bool pass = true;
    if (copies) {
        std::printf("line efficiency at %d baud, %zu bytes a copy (payload bytes/s / %.0f):\n",
                    kBaud, size, kLineBytesPerSecond);
        double worstRandom = 1e9, worstCsvZ = 1e9;
        for (size_t i = 0; i < cases.size(); ++i) {
            const CopyCase& c = cases[i];
            const CopyResult r = copyRuns[i].get();
            const double eff = static_cast<double>(size) / r.seconds / kLineBytesPerSecond;
            // What the bytes the protocol puts on the line allow at best, and how much of the
            // copy's time the line was busy.
            const double bound = static_cast<double>(size) / static_cast<double>(r.lineBytes);
            const double busy = LineSeconds(r.lineBytes) / r.seconds;
            std::printf(
                "  %-6s %-5s %-16s %6.3f  (line bytes allow %.3f; line busy %.3f of the "
                "time; %.1f s)%s\n",
                c.data, c.compress ? "zlib" : "plain", c.put ? "PC -> terminal" : "terminal -> PC",
                eff, bound, busy, r.seconds, r.ok ? "" : "  FAILED");
            if (!r.ok) pass = false;
            if (std::strcmp(c.data, "random") == 0) worstRandom = std::min(worstRandom, eff);
            if (std::strcmp(c.data, "csv") == 0 && c.compress) worstCsvZ = std::min(worstCsvZ, eff);
        }
        const bool ok1 = worstRandom >= 0.90 && worstCsvZ >= 2.5;
        std::printf(
            "figure 1 line efficiency: random %.3f (target >= 0.90), csv+zlib %.2f "
            "(target >= 2.5)  %s\n",
            worstRandom, worstCsvZ, ok1 ? "PASS" : "BELOW TARGET");
        pass = pass && ok1;
    }
    if (listing) {
        const ListResult rs[2] = {plainList.get(), zlibList.get()};
        double worst = 0;
        for (int k = 0; k < 2; ++k) {
            const ListResult& r = rs[k];
            const double ratio = r.seconds / LineSeconds(r.lineBytes);
            worst = std::max(worst, ratio);
            std::printf(
                "  listing %-5s %d entries in %.2f s, %llu line bytes (%.2f s of line): "
                "%.3f%s\n",
                k ? "zlib" : "plain", r.entries, r.seconds,
                static_cast<unsigned long long>(r.lineBytes), LineSeconds(r.lineBytes), ratio,
                r.ok ? "" : "  FAILED");
            if (!r.ok) pass = false;
        }
        const bool ok3 = worst <= 1.10;
        std::printf("figure 3 listing %d entries: time / line time %.3f (target <= 1.10)  %s\n",
                    listCount, worst, ok3 ? "PASS" : "BELOW TARGET");
        pass = pass && ok3;
    }
    return pass ? 0 : 1;
}
