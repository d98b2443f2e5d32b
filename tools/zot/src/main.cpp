#include <cstdio>
#include <map>
#include <string>

#include "commands.h"
#include "options.h"
#include "ports_command.h"
#include "zotlink.h"

int main(int argc, char** argv) {
    using namespace zotcli;
    Options o;
    std::string error;
    if (!ParseOptions(argc, argv, &o, &error)) {
        Fail(error);
        std::fputs(UsageText(), stderr);
        return kExitUsage;
    }
    if (o.help) {
        std::fputs(UsageText(), stdout);
        return kExitOk;
    }
    // Works on this machine's ports only, so it needs no terminal.
    if (o.command == "ports") return Ports(o);
    static const std::map<std::string, int (*)(const Options&)> kCommands = {
        {"info", Info},   {"ls", List},       {"get", Get},
        {"put", Put},     {"rm", Remove},     {"mkdir", MakeDirectory},
        {"rmdir", RemoveDirectory}, {"attrib", Attrib}, {"ring", Ring}};
    const auto it = kCommands.find(o.command);
    if (it == kCommands.end()) {
        Fail("unknown command " + o.command + " (see zot --help)");
        return kExitUsage;
    }
    if (const int rc = Connect(o); rc != kExitOk) return rc;
    const int rc = it->second(o);
    ZOT_LumoUninit();
    return rc;
}
