#pragma once
// Child programs for the benchmarks that measure whole programs (the command-line client,
// the simulator program) rather than the library in-process.
#include <sys/types.h>

#include <string>
#include <vector>

namespace bench {

// The folder this program was started from; the sibling programs live there.
std::string OwnDirectory();

class ChildProcess {
  public:
    // Starts argv with stdout and stderr appended to the named files (empty: /dev/null) and
    // extra "NAME=value" entries added to the environment.
    ChildProcess(const std::vector<std::string>& argv, const std::string& out,
                 const std::string& err, const std::vector<std::string>& env = {});
    ~ChildProcess();  // ends it if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return m_pid > 0; }
    // Exit code, or -1 when it died of a signal or could not be started.
    int Wait();
    void Terminate();

  private:
    pid_t m_pid = -1;
    int m_status = -1;
    bool m_reaped = false;
};

// Starts the simulator program and waits until it serves; returns the device to open, or an
// empty string. extra: more zotsim options.
std::string StartSimulator(ChildProcess** out, const std::string& root, const std::string& log,
                           const std::vector<std::string>& extra);

}  // namespace bench
