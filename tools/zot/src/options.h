#pragma once
#include <string>
#include <vector>

namespace zotcli {

struct Options {
    int port = 1;
    bool portGiven = false;
    std::vector<std::string> devices;  // --device, any number; override port
    std::vector<int> ports;            // --ports LIST
    int baud = 115200;
    bool compress = true;
    bool longList = false;   // ls -l
    bool recursive = false;  // get/put/rm -r, ls -R
    bool verify = false;     // get/put: read the copy back and compare
    bool resume = false;     // get/put: continue a partial destination
    int retries = 5;         // get/put: resumptions after a failure in mid-copy
    bool times = true;       // copies keep modification times
    bool json = false;
    bool toTerminal = false;  // sync direction
    bool toPc = false;
    bool deleteExtra = false;  // sync --delete
    bool dryRun = false;       // sync --dry-run
    bool help = false;
    std::string command;
    std::vector<std::string> args;

    bool ManyTerminals() const { return devices.size() + ports.size() > 1; }
};

// Parses argv; false with a message in *error on bad usage.
bool ParseOptions(int argc, char** argv, Options* out, std::string* error);
// "COMn" (any case) to n, 1 to 255; 0 when text names no port.
int ComPortNumber(const std::string& text);
// "1-4,7" to {1,2,3,4,7}; false on anything else.
bool ParsePortList(const std::string& text, std::vector<int>* ports);
const char* UsageText();

}  // namespace zotcli
