#pragma once
#include <string>
#include <vector>

namespace zotfs {

struct Options {
    int port = 1;
    std::string device;  // overrides port
    int baud = 115200;
    bool compress = true;
    bool readOnly = false;
    // Folder times set through the mount are refused (EPERM) instead of kept in memory.
    bool strictTimes = false;
    bool foreground = false;
    bool debug = false;
    bool help = false;
    // -o options other than ro, rw and strict_times, handed to FUSE as given (allow_other, ...).
    std::vector<std::string> mountOptions;
    std::string mountPoint;
};

// Parses argv; false with a message in *error on bad usage.
bool ParseOptions(int argc, char** argv, Options* out, std::string* error);
const char* UsageText();

}  // namespace zotfs
