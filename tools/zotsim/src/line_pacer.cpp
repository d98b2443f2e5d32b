#include "line_pacer.h"

#include <algorithm>
#include <cstdint>

namespace zotsim {

CLinePacer::Clock::duration CLinePacer::Duration(size_t bytes) const {
    if (m_baud == 0) return Clock::duration::zero();
    // Nanoseconds keep the error of a whole transfer below a microsecond.
    const auto ns = static_cast<int64_t>(bytes) * 10 * 1'000'000'000 / m_baud;
    return std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(ns));
}

CLinePacer::Clock::time_point CLinePacer::Reserve(Clock::time_point at, size_t bytes) {
    const Clock::time_point start = std::max(at, m_free);
    m_free = start + Duration(bytes);
    return start;
}

}  // namespace zotsim
