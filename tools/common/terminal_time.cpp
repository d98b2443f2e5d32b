#include "terminal_time.h"

#include <cstdio>

namespace zottools {
namespace {

struct Civil {
    int64_t year;
    unsigned month, day, hour, minute, second;
};

// Proleptic Gregorian calendar from days since 1970 (H. Hinnant's days-to-civil), so the
// conversion needs neither the time zone nor the C library's time_t range.
Civil ToCivil(uint32_t seconds) {
    const int64_t days = seconds / 86400;
    const unsigned rest = seconds % 86400;
    const int64_t z = days + 719468;
    const int64_t era = z / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned day = doy - (153 * mp + 2) / 5 + 1;
    const unsigned month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = static_cast<int64_t>(yoe) + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day, rest / 3600, rest / 60 % 60, rest % 60};
}

}  // namespace

timespec TerminalTimeToTimespec(uint32_t seconds) {
    timespec t{};
    t.tv_sec = static_cast<time_t>(seconds);
    return t;
}

uint32_t TimespecToTerminalTime(const timespec& t) {
    if (t.tv_sec <= 0) return 1;
    if (static_cast<uint64_t>(t.tv_sec) > UINT32_MAX) return UINT32_MAX;
    return static_cast<uint32_t>(t.tv_sec);
}

std::string TerminalTimeIso8601(uint32_t seconds) {
    if (seconds == 0) return "";
    const Civil c = ToCivil(seconds);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04lld-%02u-%02uT%02u:%02u:%02uZ",
                  static_cast<long long>(c.year), c.month, c.day, c.hour, c.minute, c.second);
    return buf;
}

std::string TerminalTimeText(uint32_t seconds) {
    if (seconds == 0) return "Unknown";
    const Civil c = ToCivil(seconds);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%lld-%02u-%02u %02u:%02u:%02u", static_cast<long long>(c.year),
                  c.month, c.day, c.hour, c.minute, c.second);
    return buf;
}

}  // namespace zottools
