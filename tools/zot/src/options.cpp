#include "options.h"

#include <cstdlib>

namespace zotcli {
namespace {

bool ParseInt(const std::string& text, int min, int max, int* out) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || v < min || v > max) return false;
    *out = static_cast<int>(v);
    return true;
}

}  // namespace

const char* UsageText() {
    return "usage: zot [--port N | --device PATH] [--baud N] [--no-compress] COMMAND [ARGS]\n"
           "\n"
           "Works on the file store of a handheld terminal on a serial line.\n"
           "\n"
           "options:\n"
           "  --port N        COM port number (default 1; on POSIX the device in $COMn,\n"
           "                  else the port map's COMn, else /dev/ttyS(n-1))\n"
           "  --device PATH   serial device to use instead of a port number\n"
           "  --baud N        line speed (default 115200)\n"
           "  --no-compress   send requests uncompressed\n"
           "  --verify        get/put: read the copy back and compare it\n"
           "  --retries N     get/put: go on from the last confirmed byte up to N times\n"
           "                  when a copy fails in mid-file (default 5)\n"
           "  --resume        get/put: continue copies an earlier run left partial\n"
           "  -h, --help      this text\n"
           "\n"
           "commands:\n"
           "  info                          version, memory, power, store and system info\n"
           "  ls [-l] [PATTERN]             list entries (default ZOT:\\*.*)\n"
           "  get NAME... [PC_PATH]         copy terminal files to the PC\n"
           "  put PC_FILE... [NAME]         copy PC files to the terminal\n"
           "  rm NAME...                    delete terminal files\n"
           "  mkdir NAME / rmdir NAME       create / remove a terminal folder\n"
           "  attrib NAME [+r|-r|+h|-h|+s|-s]...  show or change attributes\n"
           "  ring TEXT                     show a text on the terminal\n"
           "  ports                         serial devices present and the port map\n"
           "  ports set N DEVICE            bind port N (a number, COMn or USB) to DEVICE\n"
           "  ports unset N                 remove the binding of port N\n"
           "\n"
           "Terminal names may be given as \"a.txt\", \"dir\\a.txt\", \"dir/a.txt\" or\n"
           "\"ZOT:\\a.txt\". Exit status: 0 done, 1 an operation failed, 2 bad usage,\n"
           "3 no terminal.\n";
}

bool ParseOptions(int argc, char** argv, Options* out, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string* v) {
            if (i + 1 >= argc) {
                *error = a + " needs a value";
                return false;
            }
            *v = argv[++i];
            return true;
        };
        std::string v;
        if (!out->command.empty() && a != "--verify" && a != "-l" && a != "--resume" &&
            a != "--retries") {
            out->args.push_back(a);
        } else if (a == "-h" || a == "--help") {
            out->help = true;
        } else if (a == "--port") {
            if (!value(&v) || !ParseInt(v, 0, 255, &out->port)) {
                *error = "--port takes a number from 0 to 255";
                return false;
            }
        } else if (a == "--device") {
            if (!value(&out->device)) return false;
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
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            *error = "unknown option " + a;
            return false;
        } else {
            out->command = a;
        }
    }
    if (out->command.empty() && !out->help) {
        *error = "no command given";
        return false;
    }
    return true;
}

}  // namespace zotcli
