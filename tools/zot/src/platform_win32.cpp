#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform.h"
#include "text.h"

namespace zotcli {

std::filesystem::path PcPath(const std::string& localText) {
    const WString wide = Widen(localText);
    return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
}

// Windows ports have names of their own: "COM7" or "\\.\COM7" is port 7.
int PortForDevice(const std::string& device) {
    const char* p = device.c_str();
    if (std::strncmp(p, "\\\\.\\", 4) == 0) p += 4;
    if (_strnicmp(p, "COM", 3) != 0) return -1;
    p += 3;
    char* end = nullptr;
    const long n = std::strtol(p, &end, 10);
    return *p && *end == '\0' && n >= 1 && n <= 255 ? static_cast<int>(n) : -1;
}

std::tm UtcCalendar(std::time_t t) {
    std::tm tm{};
    gmtime_s(&tm, &t);
    return tm;
}

bool StderrIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

}  // namespace zotcli
