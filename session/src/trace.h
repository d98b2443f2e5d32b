#pragma once
// One line per request, reply and dropped frame on stderr when ZOTLINK_TRACE is set: what a
// user debugging a cable needs to see.
namespace zot {

bool TraceEnabled();
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

#define ZOT_TRACE(...)                                        \
    do {                                                      \
        if (::zot::TraceEnabled()) ::zot::Trace(__VA_ARGS__); \
    } while (0)

}  // namespace zot
