#pragma once
#include "commands.h"
#include "options.h"

namespace zotcli {

// Runs the command on every terminal the command line names at once, one session each on a
// thread of its own: their lines come out whole with the terminal's name in front, a summary
// table ends the run (and with --json one record per terminal), and the exit status is the
// worst of them. A terminal that fails or is missing does not stop the others.
int RunOnEveryTerminal(const Options& o, Command command);

}  // namespace zotcli
