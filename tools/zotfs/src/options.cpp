#include "options.h"

#include <cstdlib>

namespace zotfs {
namespace {

bool ParseInt(const std::string& text, int min, int max, int* out) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || v < min || v > max) return false;
    *out = static_cast<int>(v);
    return true;
}

// "-o a,b,ro": ro and strict_times are ours (the mount refuses changes itself), the rest goes
// to FUSE.
void TakeMountOptions(const std::string& list, Options* out) {
    size_t start = 0;
    while (start <= list.size()) {
        const size_t comma = list.find(',', start);
        const std::string one =
            list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (one == "ro")
            out->readOnly = true;
        else if (one == "rw")
            out->readOnly = false;
        else if (one == "strict_times")
            out->strictTimes = true;
        else if (!one.empty())
            out->mountOptions.push_back(one);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
}

}  // namespace

const char* UsageText() {
    return "usage: zotfs [--port N | --device PATH] [--baud N] [--no-compress]\n"
           "             [-o ro,strict_times,...] [-f] MOUNTPOINT\n"
           "\n"
           "Mounts the file store of a handheld terminal on a serial line as MOUNTPOINT.\n"
           "The mount holds the line until it is unmounted with fusermount3 -u MOUNTPOINT\n"
           "(or Ctrl-C when run with -f).\n"
           "\n"
           "options:\n"
           "  --port N        COM port number (default 1; on POSIX the device in $COMn,\n"
           "                  else /dev/ttyS(n-1))\n"
           "  --device PATH   serial device to use instead of a port number\n"
           "  --baud N        line speed (default 115200)\n"
           "  --no-compress   send requests uncompressed\n"
           "  -o ro           mount read-only\n"
           "  -o strict_times refuse to set a folder's time (EPERM); without it a time set\n"
           "                  through the mount is kept in memory until unmount, as the\n"
           "                  terminal stores none\n"
           "  -o OPTION       any other option goes to FUSE (allow_other, ...)\n"
           "  -f              stay in the foreground\n"
           "  -d              foreground, with FUSE's debug output\n"
           "  -h, --help      this text\n"
           "\n"
           "Exit status: 0 unmounted cleanly, 1 the mount failed, 2 bad usage, 3 no terminal\n"
           "(the line did not open, or is in use, or nothing answered).\n";
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
        if (a == "-h" || a == "--help") {
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
        } else if (a == "-o") {
            if (!value(&v)) return false;
            TakeMountOptions(v, out);
        } else if (a.rfind("-o", 0) == 0 && a.size() > 2) {
            TakeMountOptions(a.substr(2), out);
        } else if (a == "-f") {
            out->foreground = true;
        } else if (a == "-d") {
            out->foreground = true;
            out->debug = true;
        } else if (!a.empty() && a[0] == '-') {
            *error = "unknown option " + a;
            return false;
        } else if (out->mountPoint.empty()) {
            out->mountPoint = a;
        } else {
            *error = "one mount point only (" + a + " is extra)";
            return false;
        }
    }
    if (out->mountPoint.empty() && !out->help) {
        *error = "no mount point given";
        return false;
    }
    return true;
}

}  // namespace zotfs
