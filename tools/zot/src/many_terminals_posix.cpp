#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "commands.h"
#include "many_terminals.h"
#include "terminal_path.h"

namespace zotcli {
namespace {

using Clock = std::chrono::steady_clock;

struct Terminal {
    std::string label;
    std::vector<std::string> selector;  // --port N or --device PATH
    pid_t pid = -1;
    int out = -1, err = -1;
    std::string outLine, errLine;
    int exitCode = kExitFailed;
    double seconds = 0;
    unsigned long long files = 0, bytes = 0;
    std::string summaryFile;
};

std::vector<Terminal> TerminalsOf(const Options& o) {
    std::vector<Terminal> out;
    for (int port : o.ports) {
        Terminal t;
        t.label = "COM" + std::to_string(port);
        t.selector = {"--port", std::to_string(port)};
        out.push_back(t);
    }
    for (const auto& device : o.devices) {
        Terminal t;
        t.label = zottools::BaseName(device);
        t.selector = {"--device", device};
        out.push_back(t);
    }
    // Two devices of one base name in different folders still get folders of their own.
    for (size_t i = 0; i < out.size(); ++i) {
        int n = 1;
        for (size_t j = 0; j < i; ++j)
            if (out[j].label == out[i].label) ++n;
        if (n > 1) out[i].label += "-" + std::to_string(n);
    }
    return out;
}

// The command line without the options that choose terminals.
std::vector<std::string> CommonArguments(int argc, char** argv) {
    std::vector<std::string> out;
    bool ended = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (!ended && (a == "--port" || a == "--ports" || a == "--device")) {
            ++i;
            continue;
        }
        if (a == "--") ended = true;
        out.push_back(a);
    }
    return out;
}

std::string OwnProgram(char** argv) {
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return argv[0];
    path[n] = '\0';
    return path;
}

bool Start(Terminal& t, const std::string& program, const std::vector<std::string>& common) {
    int outPipe[2], errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0) return false;
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return false;
    }
    std::vector<std::string> args = {program};
    args.insert(args.end(), t.selector.begin(), t.selector.end());
    args.insert(args.end(), {"--as-terminal", t.label, "--summary-file", t.summaryFile});
    args.insert(args.end(), common.begin(), common.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    t.pid = ::fork();
    if (t.pid == 0) {
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::dup2(errPipe[1], STDERR_FILENO);
        ::execv(program.c_str(), argv.data());
        _exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    if (t.pid < 0) {
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        return false;
    }
    t.out = outPipe[0];
    t.err = errPipe[0];
    return true;
}

// The children's progress bars, one line per terminal under what they print, when the
// user watches on a terminal.
class ProgressBlock {
  public:
    explicit ProgressBlock(size_t terminals)
        : m_enabled(::isatty(STDERR_FILENO) != 0), m_lines(terminals) {}
    bool Enabled() const { return m_enabled; }
    void Set(size_t terminal, const std::string& label, const std::string& bar) {
        Erase();
        m_lines[terminal] = bar.empty() ? "" : label + ": " + bar;
        Draw();
    }
    // Prints a line above the block.
    void Line(FILE* to, const std::string& label, const std::string& text) {
        Erase();
        std::fprintf(to, "%s: %s\n", label.c_str(), text.c_str());
        std::fflush(to);
        Draw();
    }

  private:
    void Erase() {
        if (m_drawn == 0) return;
        std::fprintf(stderr, "\x1b[%dF\x1b[J", m_drawn);
        m_drawn = 0;
    }
    void Draw() {
        if (!m_enabled) return;
        std::fflush(stdout);
        for (const auto& line : m_lines) {
            if (line.empty()) continue;
            std::fprintf(stderr, "%s\x1b[K\n", line.c_str());
            ++m_drawn;
        }
        std::fflush(stderr);
    }

    const bool m_enabled;
    std::vector<std::string> m_lines;
    int m_drawn = 0;
};

// Passes on every whole line read from fd with the terminal's name in front; a child's
// progress bar (text ended by a carriage return) goes to the progress block instead.
bool Relay(int fd, size_t index, const std::string& label, std::string& partial, FILE* to,
           ProgressBlock& block) {
    char buf[4096];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n <= 0) {
        if (!partial.empty()) block.Line(to, label, partial);
        partial.clear();
        return false;
    }
    partial.append(buf, static_cast<size_t>(n));
    for (size_t cut; (cut = partial.find_first_of("\r\n")) != std::string::npos;) {
        const std::string text = partial.substr(0, cut);
        const bool bar = partial[cut] == '\r';
        partial.erase(0, cut + 1);
        if (bar) {
            if (!text.empty()) block.Set(index, label, text);
        } else {
            block.Set(index, label, "");
            if (!text.empty()) block.Line(to, label, text);
        }
    }
    return true;
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

}  // namespace

int RunOnEveryTerminal(const Options& o, int argc, char** argv) {
    std::vector<Terminal> terminals = TerminalsOf(o);
    const std::string program = OwnProgram(argv);
    const std::vector<std::string> common = CommonArguments(argc, argv);
    char folder[] = "/tmp/zot-many-XXXXXX";
    if (!::mkdtemp(folder)) {
        Fail("cannot make a temporary folder for the terminals' totals");
        return kExitFailed;
    }
    ProgressBlock block(terminals.size());
    if (block.Enabled()) ::setenv("ZOT_PROGRESS", "1", 1);
    const auto start = Clock::now();
    for (auto& t : terminals) {
        t.summaryFile = std::string(folder) + "/" + std::to_string(&t - terminals.data());
        if (!Start(t, program, common)) Fail(t.label + ": cannot start a process for it");
    }
    for (;;) {
        std::vector<pollfd> fds;
        for (auto& t : terminals) {
            if (t.out >= 0) fds.push_back({t.out, POLLIN, 0});
            if (t.err >= 0) fds.push_back({t.err, POLLIN, 0});
        }
        if (fds.empty()) break;
        if (::poll(fds.data(), fds.size(), -1) < 0) continue;
        for (const pollfd& p : fds) {
            if (!(p.revents & (POLLIN | POLLHUP | POLLERR))) continue;
            for (auto& t : terminals) {
                int* fd = p.fd == t.out ? &t.out : p.fd == t.err ? &t.err : nullptr;
                if (!fd) continue;
                const bool isOut = fd == &t.out;
                if (!Relay(*fd, static_cast<size_t>(&t - terminals.data()), t.label,
                           isOut ? t.outLine : t.errLine, isOut ? stdout : stderr, block)) {
                    ::close(*fd);
                    *fd = -1;
                }
                if (t.out < 0 && t.err < 0 && t.pid > 0) {
                    int status = 0;
                    while (::waitpid(t.pid, &status, 0) < 0 && errno == EINTR) {
                    }
                    t.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : kExitFailed;
                    t.seconds = std::chrono::duration<double>(Clock::now() - start).count();
                    t.pid = -1;
                }
            }
        }
    }
    int worst = kExitOk;
    bool allMissing = true;
    FILE* table = o.json ? stderr : stdout;
    std::fprintf(table, "\n%-16s %6s %12s %9s  %s\n", "terminal", "files", "bytes", "seconds",
                 "result");
    for (auto& t : terminals) {
        std::ifstream in(t.summaryFile);
        in >> t.files >> t.bytes;
        std::remove(t.summaryFile.c_str());
        std::fprintf(table, "%-16s %6llu %12llu %9.1f  %s\n", t.label.c_str(), t.files, t.bytes,
                     t.seconds, ResultText(t.exitCode));
        // A missing terminal is one failed row of the rack; only when every terminal is
        // missing does the run as a whole say "no terminal".
        if (t.exitCode != kExitNoTerminal) allMissing = false;
        const int code = t.exitCode == kExitNoTerminal ? kExitFailed : t.exitCode;
        worst = std::max(worst, code > kExitNoTerminal ? kExitFailed : code);
    }
    ::rmdir(folder);
    return allMissing ? kExitNoTerminal : worst;
}

}  // namespace zotcli
