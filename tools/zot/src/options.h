#pragma once
#include <string>
#include <vector>

namespace zotcli {

struct Options {
    int port = 1;
    std::string device;  // overrides port
    int baud = 115200;
    bool compress = true;
    bool longList = false;  // ls -l
    bool verify = false;    // get/put: read the copy back and compare
    bool resume = false;    // get/put: continue a partial destination
    int retries = 5;        // get/put: resumptions after a failure in mid-copy
    bool help = false;
    std::string command;
    std::vector<std::string> args;
};

// Parses argv; false with a message in *error on bad usage.
bool ParseOptions(int argc, char** argv, Options* out, std::string* error);
const char* UsageText();

}  // namespace zotcli
