#pragma once
// The faults chosen for coming replies, and what they make of one request's reply.
// Thread-safe: tests add faults while the serving thread consults them.
#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

#include "clock.h"
#include "simulator.h"

namespace zotsim {

// What the faults matching one request ask for; several may apply together.
struct FaultActions {
    bool drop = false;
    bool stale = false;
    bool corrupt = false;
    bool wrongLength = false;
    int delayMs = 0;
    bool Any() const { return drop || stale || corrupt || wrongLength || delayMs > 0; }
};

class CFaultPlan {
  public:
    // Timed silences end by this clock, so tests can step over them.
    explicit CFaultPlan(const zot::IClock& clock = zot::SteadyClock()) : m_clock(clock) {}
    void Add(const Fault& fault);
    void Clear();  // also ends a silence
    // Consumes the faults matching request ordinal `request` of `command`.
    FaultActions Take(uint32_t request, uint16_t command);

  private:
    const zot::IClock& m_clock;
    std::mutex m_mutex;
    std::vector<Fault> m_faults;
    bool m_silent = false;
    // A silence with a duration ends by itself at this time.
    std::chrono::steady_clock::time_point m_silentUntil{};
};

}  // namespace zotsim
