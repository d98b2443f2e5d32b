#pragma once
// The terminal keeps times as 32-bit seconds since 1970 UTC, 0 meaning unknown.
#include <cstdint>
#include <ctime>
#include <string>

namespace zottools {

// A terminal time as a PC time; 0 (unknown) gives {0, 0}.
timespec TerminalTimeToTimespec(uint32_t seconds);
// A PC time as a terminal time: fractions dropped, clamped to what 32 bits hold; times
// at or before 1970 give 1, since 0 would read back as "unknown".
uint32_t TimespecToTerminalTime(const timespec& t);
// "2024-03-05T07:08:09Z"; "" for 0.
std::string TerminalTimeIso8601(uint32_t seconds);
// "2024-03-05 07:08:09" as the explorers show it; "Unknown" for 0.
std::string TerminalTimeText(uint32_t seconds);

}  // namespace zottools
