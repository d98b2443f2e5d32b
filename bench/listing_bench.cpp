// Figure 10: a folder listing on a noisy line. A find step sent again after its reply was lost
// has moved the terminal's search on twice, so the session searches again and walks back to
// where it was: the listing is complete or fails, and this measures what that costs.
#include <cstdio>
#include <future>
#include <string>
#include <vector>

#include "common.h"

namespace bench {
namespace {

constexpr int kEntries = 300;

struct Listings {
    int complete = 0;
    int failed = 0;
    int shortButOk = 0;
    double seconds = 0;  // of the complete ones
};

Listings Run(double bitErrorRate, int count, int index) {
    Listings r;
    SimLink link("listing" + std::to_string(index), kBaud, true, bitErrorRate);
    if (!link.ok()) return r;
    for (int i = 0; i < kEntries; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "F%04d.DAT", i);
        WriteFile(link.terminal() / name, "x");
    }
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        const auto listing = link.session().List("ZOT:\\*.*");
        const double s = Seconds(Clock::now() - start);
        if (!listing.Ok()) {
            ++r.failed;
        } else if (listing.value.size() != kEntries) {
            ++r.shortButOk;
        } else {
            ++r.complete;
            r.seconds += s;
        }
    }
    if (r.complete) r.seconds /= r.complete;
    return r;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
    using namespace bench;
    size_t count = 4;
    if (argc == 3 && std::string(argv[1]) == "--listings") {
        if (!ParseCount(argv[2], 1000, &count)) return 2;
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: bench_listing [--listings N]\n");
        return 2;
    }
    const std::vector<double> rates = {0, 1e-5, 1e-4};
    std::vector<std::future<Listings>> runs;
    for (size_t i = 0; i < rates.size(); ++i)
        runs.push_back(std::async(std::launch::async, Run, rates[i], static_cast<int>(count),
                                  static_cast<int>(i)));
    std::printf("listing %d entries at %d baud, %zu listings a rate (zlib on):\n", kEntries, kBaud,
                count);
    std::vector<Listings> results;
    bool pass = true;
    for (size_t i = 0; i < rates.size(); ++i) {
        results.push_back(runs[i].get());
        const Listings& r = results.back();
        std::printf("  ber %-6g %d complete (%.1f s each), %d failed, %d short\n", rates[i],
                    r.complete, r.seconds, r.failed, r.shortButOk);
        if (r.shortButOk) pass = false;
    }
    const double clean = results[0].seconds;
    const double at4 = clean > 0 ? results[2].seconds / clean : 0;
    const double at5 = clean > 0 ? results[1].seconds / clean : 0;
    pass = pass && results[2].complete == static_cast<int>(count) && clean > 0;
    std::printf(
        "figure 10 noisy listing: %.2fx the clean time at ber 1e-4, %.2fx at 1e-5, %s  %s\n", at4,
        at5, pass ? "every listing complete" : "NOT every listing complete",
        pass ? "PASS" : "FAILED");
    return pass ? 0 : 1;
}
