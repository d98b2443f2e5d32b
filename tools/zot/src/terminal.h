#pragma once
// One terminal of a run: the session that talks to it, the options, and the output its
// messages go to. Every command works on one; with several terminals each thread has its own.
#include <cstdint>
#include <string>

#include "options.h"
#include "output.h"
#include "zot_session.h"

namespace zotcli {

enum Exit { kExitOk = 0, kExitFailed = 1, kExitUsage = 2, kExitNoTerminal = 3 };

// The line a terminal is on: a port number, or a device path.
struct LineChoice {
    int port = 0;
    std::string device;  // when not empty, instead of the port
    std::string label;   // "COM3", the device's base name
};

// --device COMn is port n, like everywhere else in the package; any other name is a path.
LineChoice LineOf(const std::string& device);
// The one line a run on a single terminal uses.
LineChoice SingleLine(const Options& o);

struct Terminal {
    Terminal(const Options& o, LineChoice l, IOutput& output)
        : options(o), line(std::move(l)), out(output) {}

    // Opens the line and checks that a terminal answers: kExitOk, or kExitNoTerminal with
    // the reason said.
    int Connect();
    // "WHAT: why" for a call that failed; the exit status it stands for. A device that went
    // away is kept in mind: nothing after it can reach the terminal.
    int Failed(const std::string& what, const zot::Status& why);
    void Fail(const std::string& message) { out.Error(message); }
    // Keeps in mind a device that went away under a call whose failure is said otherwise.
    void Note(const zot::Status& status) { gone = gone || status.DeviceGone(); }
    // A command's exit status, made "no terminal" when the device went away under it.
    int Exit(int rc) const { return gone ? kExitNoTerminal : rc; }

    const Options& options;
    const LineChoice line;
    IOutput& out;
    zot::CSession session;
    // With several terminals at once: the folder below a PC destination that keeps this
    // terminal's files apart from the others'.
    std::string ownFolder;
    uint64_t files = 0, bytes = 0;  // copied, for the summary
    bool gone = false;
};

}  // namespace zotcli
