#include "process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

extern char** environ;

namespace bench {

std::string OwnDirectory() {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    buf[n] = '\0';
    return std::filesystem::path(buf).parent_path().string();
}

namespace {

int OpenOutput(const std::string& path) {
    return ::open(path.empty() ? "/dev/null" : path.c_str(),
                  O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& out,
                           const std::string& err, const std::vector<std::string>& env) {
    // Everything the child needs is prepared before fork: only async-signal-safe calls after.
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e) envStrings.emplace_back(*e);
    for (const auto& e : env) envStrings.push_back(e);
    std::vector<char*> envp;
    for (auto& e : envStrings) envp.push_back(e.data());
    envp.push_back(nullptr);
    const int outFd = OpenOutput(out);
    const int errFd = OpenOutput(err);
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(outFd, STDOUT_FILENO);
        ::dup2(errFd, STDERR_FILENO);
        ::execve(args[0], args.data(), envp.data());
        ::_exit(127);
    }
    ::close(outFd);
    ::close(errFd);
}

ChildProcess::~ChildProcess() {
    if (m_pid > 0 && !m_reaped) {
        Terminate();
        Wait();
    }
}

int ChildProcess::Wait() {
    if (m_pid <= 0) return -1;
    if (!m_reaped) {
        while (::waitpid(m_pid, &m_status, 0) < 0 && errno == EINTR) {
        }
        m_reaped = true;
    }
    return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1;
}

void ChildProcess::Terminate() {
    if (m_pid > 0 && !m_reaped) ::kill(m_pid, SIGTERM);
}

std::string StartSimulator(ChildProcess** out, const std::string& root, const std::string& log,
                           const std::vector<std::string>& extra) {
    const std::string link = root + ".tty";
    std::vector<std::string> argv = {OwnDirectory() + "/zotsim", "--root", root, "--link", link};
    argv.insert(argv.end(), extra.begin(), extra.end());
    *out = new ChildProcess(argv, "", log);
    // The link appears once the simulator serves.
    for (int i = 0; i < 500; ++i) {
        if (std::filesystem::exists(link)) return link;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

}  // namespace bench
