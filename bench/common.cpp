#include "common.h"

#include <stdlib.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace bench {

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

bool ParseCount(const char* text, size_t max, size_t* out) {
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(text, &end, 10);
    if (errno || end == text || *end || text[0] == '-' || v == 0 || v > max) return false;
    *out = static_cast<size_t>(v);
    return true;
}

bool ParseSizeOption(int argc, char** argv, const char* program, size_t* size) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--size" && i + 1 < argc && ParseCount(argv[++i], kMaxSize, size)) continue;
        std::fprintf(stderr, "usage: %s [--size BYTES]\n", program);
        return false;
    }
    return true;
}

double LineSeconds(uint64_t bytes) {
    return static_cast<double>(bytes) / kLineBytesPerSecond;
}

ScratchDir::ScratchDir(const std::string& tag) {
    std::string tmpl = "/tmp/qs-bench-" + tag + "-XXXXXX";
    if (!::mkdtemp(tmpl.data())) {
        std::perror("mkdtemp");
        std::exit(2);
    }
    m_path = tmpl;
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

std::string RandomBytes(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>(rng() & 0xFF);
    return s;
}

std::string BarcodeCsv(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    static const char* const kBins[] = {"A-01-01", "A-01-02", "A-02-05", "B-03-01",
                                        "B-03-04", "C-10-02", "C-11-07", "D-04-03"};
    static const char* const kUsers[] = {"U07", "U12", "U31"};
    std::string s = "ScanTime,Barcode,Qty,Bin,User\r\n";
    int64_t t = 1710752047;  // a morning's stock-take
    const char* bin = kBins[0];
    const char* user = kUsers[rng() % 3];
    while (s.size() < n) {
        t += 1 + rng() % 9;
        if (rng() % 40 == 0) bin = kBins[rng() % 8];
        if (rng() % 500 == 0) user = kUsers[rng() % 3];
        // EAN-13: a national prefix, random item digits, then the check digit.
        char code[14];
        std::snprintf(code, sizeof code, "%03u", 400 + static_cast<unsigned>(rng() % 40));
        for (int i = 3; i < 12; ++i) code[i] = static_cast<char>('0' + rng() % 10);
        int sum = 0;
        for (int i = 0; i < 12; ++i) sum += (code[i] - '0') * (i % 2 ? 3 : 1);
        code[12] = static_cast<char>('0' + (10 - sum % 10) % 10);
        code[13] = '\0';
        const time_t tt = static_cast<time_t>(t);
        tm parts{};
        gmtime_r(&tt, &parts);
        char line[96];
        const unsigned qty = rng() % 10 < 8 ? 1 : 2 + static_cast<unsigned>(rng() % 23);
        std::snprintf(line, sizeof line, "%04d-%02d-%02d %02d:%02d:%02d,%s,%u,%s,%s\r\n",
                      parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
                      parts.tm_min, parts.tm_sec, code, qty, bin, user);
        s += line;
    }
    s.resize(n);
    return s;
}

void WriteFile(const fs::path& p, const std::string& bytes) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

zot::WString Wide(const std::string& ascii) {
    return zot::WString(ascii.begin(), ascii.end());
}

SimLink::SimLink(const std::string& tag, int baud, bool compress, double bitErrorRate,
                 int latencyTimerMs)
    : m_dir(tag), m_terminal(m_dir.path() / "terminal"), m_pc(m_dir.path() / "pc") {
    fs::create_directories(m_terminal);
    fs::create_directories(m_pc);
    zotsim::Options o;
    o.root = m_terminal.string();
    o.baud = baud;
    o.bitErrorRate = bitErrorRate;
    o.latencyTimerMs = latencyTimerMs;
    m_sim = std::make_unique<zotsim::CSimulator>(o);
    m_session = std::make_unique<zot::CSession>();
    m_ok = m_sim->OpenPty() && m_sim->Start() &&
           m_session->OpenDevice(m_sim->SlavePath(), baud ? baud : kBaud, compress).Ok();
}

SimLink::~SimLink() {
    m_session->Close();
    m_sim->Stop();
}

}  // namespace bench
