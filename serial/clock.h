#pragma once
// The time the request engine goes by. The real one is the system's steady clock; tests and
// fuzzers hand the engine a manual clock that a scripted line moves on, so every time-out
// and retry is exact and costs no real waiting.
#include <atomic>
#include <chrono>
#include <cstdint>

namespace zot {

class IClock {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~IClock() = default;
    virtual TimePoint Now() const = 0;
};

class CSteadyClock final : public IClock {
  public:
    TimePoint Now() const override { return std::chrono::steady_clock::now(); }
};

// The process's steady clock, the default of every engine.
inline IClock& SteadyClock() {
    static CSteadyClock clock;
    return clock;
}

// Stands still until moved. Safe to read and move from several threads.
class CManualClock final : public IClock {
  public:
    TimePoint Now() const override { return TimePoint(std::chrono::nanoseconds(m_ns.load())); }
    void Advance(std::chrono::nanoseconds by) { m_ns.fetch_add(by.count()); }
    // Moves to at, never backwards.
    void AdvanceTo(TimePoint at) {
        const int64_t target =
            std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count();
        int64_t seen = m_ns.load();
        while (seen < target && !m_ns.compare_exchange_weak(seen, target)) {
        }
    }

  private:
    // Starts well away from zero so that "a while ago" never underflows.
    std::atomic<int64_t> m_ns{int64_t{1000} * 1000 * 1000 * 1000};
};

}  // namespace zot
