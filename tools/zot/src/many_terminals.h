#pragma once
#include "options.h"

namespace zotcli {

// Runs the command line on every terminal it names at once, one process each (a library
// session is process-wide): their lines come out prefixed with the terminal, a summary
// table ends the run, and the exit status is the worst of them. A terminal that fails or is
// missing does not stop the others.
int RunOnEveryTerminal(const Options& o, int argc, char** argv);

}  // namespace zotcli
