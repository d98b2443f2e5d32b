#include "sim_session.h"

#include <stdlib.h>

#include <fstream>
#include <random>
#include <sstream>

namespace zot::test {

WString W(const std::string& utf8) {
    WString out;
    for (size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<uint8_t>(utf8[i]);
        uint32_t cp;
        size_t n;
        if (c < 0x80) {
            cp = c;
            n = 1;
        } else if (c < 0xE0) {
            cp = c & 0x1F;
            n = 2;
        } else if (c < 0xF0) {
            cp = c & 0x0F;
            n = 3;
        } else {
            cp = c & 0x07;
            n = 4;
        }
        for (size_t k = 1; k < n && i + k < utf8.size(); ++k)
            cp = (cp << 6) | (static_cast<uint8_t>(utf8[i + k]) & 0x3F);
        i += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<WChar>(0xD800 + (cp >> 10));
            out += static_cast<WChar>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<WChar>(cp);
        }
    }
    return out;
}

void SimSession::SetUp() {
    char tmpl[] = "/tmp/zotlink-test-XXXXXX";
    ASSERT_TRUE(mkdtemp(tmpl));
    const fs::path base = tmpl;
    m_root = base / "terminal";
    m_pc = base / "pc";
    fs::create_directories(m_root);
    fs::create_directories(m_pc);
}

void SimSession::TearDown() {
    app.LumoUninit();
    if (sim) sim->Stop();
    sim.reset();
    std::error_code ec;
    fs::remove_all(m_root.parent_path(), ec);
}

void SimSession::Start(zotsim::Options options, bool compress) {
    options.root = m_root.string();
    sim = std::make_unique<zotsim::CSimulator>(options);
    ASSERT_TRUE(sim->OpenPty());
    ASSERT_TRUE(sim->Start());
    ASSERT_EQ(app.LumoInitDevice(sim->SlavePath(), 115200, compress ? 1 : 0), 1);
}

void SimSession::WriteBytes(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

std::string SimSession::ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string SimSession::RandomBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>(rng());
    return s;
}

int SimSession::CountRequests(uint16_t command) const {
    int n = 0;
    for (const auto& r : sim->Requests()) n += r.command == command;
    return n;
}

}  // namespace zot::test
