#pragma once
// One direction of a serial line at a given rate: 10 bit times a byte (start, 8 data, stop).
// It answers when bytes handed to the line would have been carried across it.
#include <chrono>
#include <cstddef>

namespace zotsim {

class CLinePacer {
  public:
    using Clock = std::chrono::steady_clock;

    explicit CLinePacer(int baud) : m_baud(baud > 0 ? baud : 0) {}
    bool Enabled() const { return m_baud > 0; }

    // Time the line needs for bytes.
    Clock::duration Duration(size_t bytes) const;

    // Books the line for bytes offered at `at`: they start once the line is free (the
    // previous bytes are through) and not before `at`. Returns the start; the i-th byte has
    // arrived at start + Duration(i + 1).
    Clock::time_point Reserve(Clock::time_point at, size_t bytes);

  private:
    int m_baud;
    Clock::time_point m_free{};
};

}  // namespace zotsim
