#include <cstdio>
#include <map>
#include <string>

#include "commands.h"
#include "copying.h"
#include "many_terminals.h"
#include "options.h"
#include "output.h"
#include "ports_command.h"
#include "terminal.h"

int main(int argc, char** argv) {
    using namespace zotcli;
    Options o;
    std::string error;
    if (!ParseOptions(argc, argv, &o, &error)) {
        Fail(error);
        std::fputs(UsageText(), stderr);
        return kExitUsage;
    }
    if (o.version) {
        std::printf("zot %s\n", ZOT_VERSION);
        return kExitOk;
    }
    if (o.help) {
        std::fputs(UsageText(), stdout);
        return kExitOk;
    }
    // Works on this machine's ports only, so it needs no terminal.
    if (o.command == "ports") return Ports(o);
    static const std::map<std::string, Command> kCommands = {{"info", Info},
                                                             {"ls", List},
                                                             {"get", Get},
                                                             {"put", Put},
                                                             {"sync", Sync},
                                                             {"mv", Move},
                                                             {"rm", Remove},
                                                             {"mkdir", MakeDirectory},
                                                             {"rmdir", RemoveDirectory},
                                                             {"attrib", Attrib},
                                                             {"ring", Ring}};
    const auto it = kCommands.find(o.command);
    if (it == kCommands.end()) {
        Fail("unknown command " + o.command + " (see zot --help)");
        return kExitUsage;
    }
    // Usage the PC alone can judge is refused before anything goes to a terminal.
    const bool copies =
        o.command == "get" || o.command == "put" || o.command == "sync" || o.command == "mv";
    const bool usable = o.command == "get"    ? CheckGetUsage(o, &error)
                        : o.command == "put"  ? CheckPutUsage(o, &error)
                        : o.command == "sync" ? CheckSyncUsage(o, &error)
                                              : true;
    if (!usable) {
        Fail(error);
        return kExitUsage;
    }
    // Copies stop after their current block and keep what arrived; anything else just ends.
    if (copies) CatchInterrupt();
    // A copy Ctrl-C stopped keeps its partial file for --resume, and the run says it was cut.
    if (o.ManyTerminals()) {
        const int rc = RunOnEveryTerminal(o, it->second);
        return Interrupted() ? kExitInterrupted : rc;
    }
    CStandardOutput out;
    Terminal t(o, SingleLine(o), out);
    if (const int rc = t.Connect(); rc != kExitOk) return rc;
    const int rc = t.Exit(it->second(t));
    return Interrupted() ? kExitInterrupted : rc;
}
