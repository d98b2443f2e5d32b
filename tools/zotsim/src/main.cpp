// zotsim: serves a folder as the terminal's file store over a pseudo-terminal or a serial
// device until SIGINT or SIGTERM.
#include <pthread.h>
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "port_name.h"
#include "simulator.h"

namespace {

constexpr const char* kUsage =
    "usage: zotsim --root DIR [options]\n"
    "Serves DIR as the terminal's file store (\"ZOT:\\\") until SIGINT or SIGTERM.\n"
    "\n"
    "line:\n"
    "  --pty                 create a pseudo-terminal (default); prints \"PTY <slave path>\"\n"
    "  --link PATH           also make PATH a symlink to the pseudo-terminal's slave\n"
    "  --device PATH         serve an existing serial device instead (or COMn, USB: the\n"
    "                        device the port map gives that port)\n"
    "  --baud-device N       line speed to set on --device\n"
    "  --baud N              pace both directions as a line of N baud (10 bits a byte)\n"
    "  --latency MS          wait MS before every reply\n"
    "  --latency-timer MS    hold the end of each reply MS as a USB serial adapter's latency\n"
    "                        timer does (16 on most adapters, 1 in low-latency mode)\n"
    "terminal:\n"
    "  --server-name TEXT    name in the system information record\n"
    "  --store-size BYTES    reported store size\n"
    "  --name-limit N        refuse to create entries whose name exceeds N bytes\n"
    "  --compress-replies    compress every reply (compressed requests always get one)\n"
    "  --ber RATE            flip each bit crossing the line with probability RATE\n"
    "  --seed N              seed of the bit errors (default 1)\n"
    "  --log                 one line per request on stderr\n"
    "faults (N: 1-based request number, repeatable):\n"
    "  --drop N              send no reply to request N\n"
    "  --delay N:MS          reply to request N after MS milliseconds\n"
    "  --stale N             reply to request N with the previous sequence number\n"
    "  --corrupt N           flip a bit in the reply to request N (bad checksum)\n"
    "  --silent-after N      answer nothing from request N on\n"
    "  --silent-for N:MS     answer nothing for MS milliseconds from request N on\n";

bool ParseNumber(const char* text, unsigned long long max, unsigned long long* value) {
    if (!text || !*text) return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || v > max || text[0] == '-') return false;
    *value = v;
    return true;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "zotsim: %s\n%s", message.c_str(), kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    zotsim::Options options;
    std::vector<zotsim::Fault> faults;
    std::string link, device;
    int deviceBaud = 0;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        unsigned long long n = 0;
        auto number = [&](unsigned long long max) {
            if (!ParseNumber(value, max, &n)) return false;
            ++i;
            return true;
        };
        auto fault = [&](zotsim::Fault::Kind kind) {
            if (!number(0xFFFFFFFF) || n == 0) return false;
            zotsim::Fault f;
            f.kind = kind;
            f.request = static_cast<uint32_t>(n);
            faults.push_back(f);
            return true;
        };
        bool ok = true;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--root" && value) {
            options.root = value;
            ++i;
        } else if (arg == "--pty") {
        } else if (arg == "--link" && value) {
            link = value;
            ++i;
        } else if (arg == "--device" && value) {
            device = qs::SerialDeviceForName(value);
            ++i;
        } else if (arg == "--baud-device") {
            ok = number(4000000) && (deviceBaud = static_cast<int>(n), true);
        } else if (arg == "--baud") {
            ok = number(4000000) && (options.baud = static_cast<int>(n), true);
        } else if (arg == "--latency-timer") {
            ok = number(255) && n > 0 && (options.latencyTimerMs = static_cast<int>(n), true);
        } else if (arg == "--latency") {
            ok = number(600000) && (options.latencyMs = static_cast<int>(n), true);
        } else if (arg == "--server-name" && value) {
            options.serverName = value;
            ++i;
        } else if (arg == "--store-size") {
            ok = number(~0ull) && (options.storeSize = n, true);
        } else if (arg == "--name-limit") {
            ok = number(4096) && (options.nameLimit = static_cast<size_t>(n), true);
        } else if (arg == "--ber" && value) {
            char* end = nullptr;
            options.bitErrorRate = std::strtod(value, &end);
            ok = *value && !*end && options.bitErrorRate >= 0 && options.bitErrorRate < 1;
            ++i;
        } else if (arg == "--seed") {
            ok = number(0xFFFFFFFF) && (options.seed = static_cast<uint32_t>(n), true);
        } else if (arg == "--compress-replies") {
            options.compressReplies = true;
        } else if (arg == "--log") {
            options.log = true;
        } else if (arg == "--drop") {
            ok = fault(zotsim::Fault::Kind::kDrop);
        } else if (arg == "--stale") {
            ok = fault(zotsim::Fault::Kind::kStale);
        } else if (arg == "--corrupt") {
            ok = fault(zotsim::Fault::Kind::kCorrupt);
        } else if (arg == "--silent-after") {
            ok = fault(zotsim::Fault::Kind::kSilence);
        } else if (arg == "--silent-for" && value) {
            const std::string spec = value;
            const size_t colon = spec.find(':');
            unsigned long long request = 0, ms = 0;
            ok = colon != std::string::npos &&
                 ParseNumber(spec.substr(0, colon).c_str(), 0xFFFFFFFF, &request) && request != 0 &&
                 ParseNumber(spec.substr(colon + 1).c_str(), 600000, &ms) && ms != 0;
            if (ok) {
                zotsim::Fault f;
                f.kind = zotsim::Fault::Kind::kSilence;
                f.request = static_cast<uint32_t>(request);
                f.delayMs = static_cast<int>(ms);
                faults.push_back(f);
            }
            ++i;
        } else if (arg == "--delay" && value) {
            const std::string spec = value;
            const size_t colon = spec.find(':');
            unsigned long long request = 0, ms = 0;
            ok = colon != std::string::npos &&
                 ParseNumber(spec.substr(0, colon).c_str(), 0xFFFFFFFF, &request) && request != 0 &&
                 ParseNumber(spec.substr(colon + 1).c_str(), 600000, &ms);
            if (ok) {
                zotsim::Fault f;
                f.kind = zotsim::Fault::Kind::kDelay;
                f.request = static_cast<uint32_t>(request);
                f.delayMs = static_cast<int>(ms);
                faults.push_back(f);
                ++i;
            }
        } else {
            ok = false;
        }
        if (!ok) return Fail("bad or incomplete option: " + arg);
    }
    if (options.root.empty()) return Fail("--root is required");

    // Blocked before any thread starts, so only sigwait below ever takes them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    zotsim::CSimulator simulator(options);
    const bool opened =
        device.empty() ? simulator.OpenPty(link) : simulator.OpenDevice(device, deviceBaud);
    if (!opened) {
        std::fprintf(stderr, "zotsim: cannot open %s: %s\n",
                     device.empty() ? "a pseudo-terminal" : device.c_str(), std::strerror(errno));
        return 1;
    }
    for (const auto& f : faults) simulator.AddFault(f);
    if (!simulator.Start()) {
        std::fprintf(stderr, "zotsim: cannot serve %s\n", options.root.c_str());
        return 1;
    }
    // Scripts wait for this line before they connect.
    std::printf("%s %s\n", device.empty() ? "PTY" : "DEVICE", simulator.SlavePath().c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&signals, &received);
    simulator.Stop();  // the destructor closes the line and removes the link
    return 0;
}
