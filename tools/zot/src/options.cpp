#include "options.h"

#include <cctype>
#include <cstdlib>
#include <vector>

namespace zotcli {
namespace {

bool ParseInt(const std::string& text, int min, int max, int* out) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || v < min || v > max) return false;
    *out = static_cast<int>(v);
    return true;
}

// attrib's own flags look like options: "-r" clears read-only there.
bool IsAttributeFlag(const std::string& a) {
    return a.size() == 2 && (a[0] == '-' || a[0] == '+') &&
           std::string("rhsa").find(a[1]) != std::string::npos;
}

}  // namespace

const char* UsageText() {
    return "usage: zot [OPTIONS] COMMAND [ARGS]\n"
           "\n"
           "Works on the file store of a handheld terminal on a serial line.\n"
           "\n"
           "terminals:\n"
           "  --port N        COM port number (default 1; on POSIX the device in $COMn,\n"
           "                  else the port map's COMn, else /dev/ttyS(n-1))\n"
           "  --ports LIST    several ports at once, e.g. 1-4,7\n"
           "  --device PATH   serial device instead of a port number (COMn: port n);\n"
           "                  give it several times for several terminals at once\n"
           "  --baud N        line speed (default 115200)\n"
           "  --no-compress   send requests uncompressed\n"
           "\n"
           "copies:\n"
           "  -r, --recursive get/put/rm: whole folders; ls -R lists folders below\n"
           "  --no-times      get/put/sync: do not keep modification times\n"
           "  --verify        get/put: read the copy back and compare it\n"
           "  --retries N     get/put: go on from the last confirmed byte up to N times\n"
           "                  when a copy fails in mid-file (default 5)\n"
           "  --resume        get/put: continue copies an earlier run left partial (when\n"
           "                  its last whole block is the source's; else from the start)\n"
           "  -n, --no-clobber  get/put/mv: keep a destination file that exists\n"
           "  -u, --update    get/put/mv: replace a destination file only with a newer one\n"
           "  -f, --force     rm: read-only files too\n"
           "  --no-preserve-root  rm -r: the root too\n"
           "  -v, --verbose   get/put/sync: a line for every file copied and deleted\n"
           "  --exclude PATTERN  sync: leave out matching names (repeatable)\n"
           "  --json          ls, info, get, put, sync: machine-readable output\n"
           "  -h, --help      this text\n"
           "  --version       the program's version\n"
           "\n"
           "commands:\n"
           "  info                          version, memory, power, store and system info\n"
           "  ls [-l] [-R] [PATTERN]        list entries (default ZOT:\\*.*)\n"
           "  get NAME... [DEST]            copy terminal files to the PC: into the current\n"
           "                                folder, into the PC folder DEST, or to the file\n"
           "                                DEST for one NAME; DEST - is standard output\n"
           "  put PC_FILE... [DEST]         copy PC files to the terminal: into ZOT:\\, into\n"
           "                                the terminal folder DEST, or to the name DEST\n"
           "                                for one file; put - NAME reads standard input\n"
           "  sync --to-terminal LOCAL_DIR TERMINAL_DIR\n"
           "  sync --to-pc TERMINAL_DIR LOCAL_DIR\n"
           "                                copy what is missing or differs (size or time);\n"
           "                                --delete removes what the source lacks,\n"
           "                                --dry-run prints the plan only\n"
           "  mv NAME... DEST               move terminal files and folders on the terminal\n"
           "                                (copied with time and attributes, then deleted)\n"
           "  rm [-rf] NAME...              delete terminal files (-r: folders too)\n"
           "  mkdir NAME / rmdir NAME       create / remove a terminal folder\n"
           "  attrib NAME [+r|-r|+h|-h|+s|-s|+a|-a]...  show or change attributes\n"
           "  ring TEXT                     show a text on the terminal\n"
           "  ports                         serial devices present and the port map\n"
           "  ports set N DEVICE            bind port N (a number, COMn or USB) to DEVICE\n"
           "  ports unset N                 remove the binding of port N\n"
           "\n"
           "With two or more arguments the last one of get and put is the destination.\n"
           "Short options combine (-lR); -- ends options. put and mkdir refuse a name the "
           "terminal\n"
           "could not list back. In ls, get and rm, * and ? match names without regard to case.\n"
           "Terminal names may be given as \"a.txt\", \"dir\\a.txt\", "
           "\"dir/a.txt\" or\n"
           "\"ZOT:\\a.txt\". With several terminals each line starts with the terminal's\n"
           "name, get writes into DEST/<terminal>/, and a summary ends the run.\n"
           "Exit status: 0 done, 1 an operation failed, 2 bad usage, 3 no terminal or it\n"
           "went away (with several terminals: the worst of them), 130 Ctrl-C stopped a copy.\n";
}

int ComPortNumber(const std::string& text) {
    int n = 0;
    if (text.size() < 4 || (text[0] | 0x20) != 'c' || (text[1] | 0x20) != 'o' ||
        (text[2] | 0x20) != 'm' || !std::isdigit(static_cast<unsigned char>(text[3])) ||
        !ParseInt(text.substr(3), 1, 255, &n))
        return 0;
    return n;
}

bool ParsePortList(const std::string& text, std::vector<int>* ports) {
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const size_t dash = item.find('-');
        int from = 0, to = 0;
        if (dash == std::string::npos) {
            if (!ParseInt(item, 0, 255, &from)) return false;
            to = from;
        } else if (!ParseInt(item.substr(0, dash), 0, 255, &from) ||
                   !ParseInt(item.substr(dash + 1), 0, 255, &to) || to < from) {
            return false;
        }
        for (int p = from; p <= to; ++p) ports->push_back(p);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return !ports->empty();
}

bool ParseOptions(int argc, char** argv, Options* out, std::string* error) {
    // Combined short options ("-lR", "-rf") are taken apart first; none of them takes a value.
    std::vector<std::string> args;
    bool ended = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        ended = ended || a == "--";
        if (ended || a.size() <= 2 || a[0] != '-' || a[1] == '-') {
            args.push_back(a);
            continue;
        }
        for (size_t k = 1; k < a.size(); ++k) args.push_back(std::string("-") + a[k]);
    }
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string* v) {
            if (i + 1 >= args.size()) {
                *error = a + " needs a value";
                return false;
            }
            *v = args[++i];
            return true;
        };
        std::string v;
        if (optionsEnded || a.empty() || a[0] != '-' || a == "-" ||
            (out->command == "attrib" && IsAttributeFlag(a))) {
            if (out->command.empty())
                out->command = a;
            else
                out->args.push_back(a);
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "-h" || a == "--help") {
            out->help = true;
        } else if (a == "--version") {
            out->version = true;
        } else if (a == "--port") {
            if (!value(&v) || !ParseInt(v, 0, 255, &out->port)) {
                *error = "--port takes a number from 0 to 255";
                return false;
            }
            out->portGiven = true;
        } else if (a == "--ports") {
            if (!value(&v) || !ParsePortList(v, &out->ports)) {
                *error = "--ports takes a list of port numbers such as 1-4,7";
                return false;
            }
        } else if (a == "--device") {
            if (!value(&v)) return false;
            out->devices.push_back(v);
        } else if (a == "--baud") {
            if (!value(&v) || !ParseInt(v, 50, 4000000, &out->baud)) {
                *error = "--baud takes a line speed such as 115200";
                return false;
            }
        } else if (a == "--no-compress") {
            out->compress = false;
        } else if (a == "--retries") {
            if (!value(&v) || !ParseInt(v, 0, 1000, &out->retries)) {
                *error = "--retries takes a number from 0 to 1000";
                return false;
            }
        } else if (a == "--resume") {
            out->resume = true;
        } else if (a == "--verify") {
            out->verify = true;
        } else if (a == "-l") {
            out->longList = true;
        } else if (a == "-r" || a == "-R" || a == "--recursive") {
            out->recursive = true;
        } else if (a == "-f" || a == "--force") {
            out->force = true;
        } else if (a == "--no-preserve-root") {
            out->noPreserveRoot = true;
        } else if (a == "-n" || a == "--no-clobber") {
            out->noClobber = true;
        } else if (a == "-u" || a == "--update") {
            out->update = true;
        } else if (a == "-v" || a == "--verbose") {
            out->verbose = true;
        } else if (a == "--exclude") {
            if (!value(&v)) return false;
            out->excludes.push_back(v);
        } else if (a == "--no-times") {
            out->times = false;
        } else if (a == "--json") {
            out->json = true;
        } else if (a == "--to-terminal") {
            out->toTerminal = true;
        } else if (a == "--to-pc") {
            out->toPc = true;
        } else if (a == "--delete") {
            out->deleteExtra = true;
        } else if (a == "--dry-run") {
            out->dryRun = true;
        } else {
            *error = "unknown option " + a;
            return false;
        }
    }
    if (out->help || out->version) return true;
    if (out->command.empty()) {
        *error = "no command given";
        return false;
    }
    if (!out->ports.empty() && (out->portGiven || !out->devices.empty())) {
        *error = "--ports cannot be combined with --port or --device";
        return false;
    }
    return true;
}

}  // namespace zotcli
