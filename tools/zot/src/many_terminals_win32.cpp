#include <cstdio>

#include "commands.h"
#include "many_terminals.h"

namespace zotcli {

// Each terminal needs a process of its own (a library session is process-wide), and the
// child handling here is written for POSIX only.
int RunOnEveryTerminal(const Options&, int, char**) {
    Fail("several terminals at once are not supported on Windows: run zot once per terminal");
    return kExitUsage;
}

}  // namespace zotcli
