#include "many_terminals.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "json.h"
#include "output.h"
#include "platform.h"
#include "terminal.h"

namespace zotcli {
namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    LineChoice line;
    std::unique_ptr<CTerminalOutput> out;
    int exitCode = kExitFailed;
    double seconds = 0;
    uint64_t files = 0, bytes = 0;
};

std::vector<LineChoice> LinesOf(const Options& o) {
    std::vector<LineChoice> lines;
    for (int port : o.ports) {
        LineChoice line;
        line.port = port;
        line.label = "COM" + std::to_string(port);
        lines.push_back(line);
    }
    for (const auto& device : o.devices) lines.push_back(LineOf(device));
    // Two devices of one base name in different folders still get folders of their own.
    for (size_t i = 0; i < lines.size(); ++i) {
        int n = 1;
        for (size_t j = 0; j < i; ++j)
            if (lines[j].label == lines[i].label) ++n;
        if (n > 1) lines[i].label += "-" + std::to_string(n);
    }
    return lines;
}

void RunOne(const Options& o, Command command, Run& run, Clock::time_point start) {
    Terminal t(o, run.line, *run.out);
    t.ownFolder = PcFolderName(run.line.label);
    int rc = t.Connect();
    if (rc == kExitOk) rc = t.Exit(command(t));
    run.exitCode = rc;
    run.files = t.files;
    run.bytes = t.bytes;
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
}

const char* ResultText(int code) {
    switch (code) {
        case kExitOk:
            return "ok";
        case kExitUsage:
            return "bad usage";
        case kExitNoTerminal:
            return "no terminal";
        default:
            return "failed";
    }
}

std::string Record(const Run& run) {
    std::string errors;
    for (const auto& e : run.out->Errors()) errors += (errors.empty() ? "" : ",") + JsonString(e);
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", run.seconds);
    return "{\"terminal\":" + JsonString(run.line.label) +
           (run.line.device.empty() ? ",\"port\":" + std::to_string(run.line.port)
                                    : ",\"device\":" + JsonString(run.line.device)) +
           ",\"result\":" + JsonString(ResultText(run.exitCode)) +
           ",\"exit_status\":" + std::to_string(run.exitCode) +
           ",\"files\":" + std::to_string(run.files) + ",\"bytes\":" + std::to_string(run.bytes) +
           ",\"seconds\":" + seconds + ",\"output\":" + run.out->Json() + ",\"errors\":[" + errors +
           "]}";
}

}  // namespace

int RunOnEveryTerminal(const Options& o, Command command) {
    const std::vector<LineChoice> lines = LinesOf(o);
    CConsole console(lines.size());
    std::vector<Run> runs(lines.size());
    for (size_t i = 0; i < runs.size(); ++i) {
        runs[i].line = lines[i];
        runs[i].out = std::make_unique<CTerminalOutput>(console, i, lines[i].label);
    }
    const auto start = Clock::now();
    std::vector<std::thread> threads;
    for (auto& run : runs) {
        try {
            threads.emplace_back(RunOne, std::cref(o), command, std::ref(run), start);
        } catch (const std::system_error& e) {
            run.out->Error(std::string("cannot start a thread for it: ") + e.what());
        }
    }
    for (auto& thread : threads) thread.join();

    if (o.json) {
        std::string out = "[";
        for (const auto& run : runs) out += (out.size() > 1 ? ",\n" : "") + Record(run);
        std::printf("%s]\n", out.c_str());
    }
    int worst = kExitOk;
    bool allMissing = true;
    FILE* table = o.json ? stderr : stdout;
    std::fprintf(table, "\n%-16s %6s %12s %9s  %s\n", "terminal", "files", "bytes", "seconds",
                 "result");
    for (const auto& run : runs) {
        std::fprintf(table, "%-16s %6llu %12llu %9.1f  %s\n", run.line.label.c_str(),
                     static_cast<unsigned long long>(run.files),
                     static_cast<unsigned long long>(run.bytes), run.seconds,
                     ResultText(run.exitCode));
        // A missing terminal is one failed row of the rack; only when every terminal is
        // missing does the run as a whole say "no terminal".
        if (run.exitCode != kExitNoTerminal) allMissing = false;
        const int code = run.exitCode == kExitNoTerminal ? kExitFailed : run.exitCode;
        worst = std::max(worst, code > kExitNoTerminal ? kExitFailed : code);
    }
    std::fflush(stdout);
    return allMissing ? kExitNoTerminal : worst;
}

}  // namespace zotcli
