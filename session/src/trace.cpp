#include "trace.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace zot {

bool TraceEnabled() {
    static const bool on = [] {
        const char* v = std::getenv("ZOTLINK_TRACE");
        return v && *v && *v != '0';
    }();
    return on;
}

void Trace(const char* format, ...) {
    using namespace std::chrono;
    static const auto start = steady_clock::now();
    const auto ms = duration_cast<milliseconds>(steady_clock::now() - start).count();
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    std::fprintf(stderr, "zotlink %8lld.%03lld %s\n", static_cast<long long>(ms / 1000),
                 static_cast<long long>(ms % 1000), line);
}

}  // namespace zot
