#include "bit_errors.h"

#include <cmath>

namespace zotsim {

CBitErrors::CBitErrors(double rate, uint32_t seed)
    : m_rate(rate > 0 && rate < 1 ? rate : 0), m_rng(seed) {
    if (Enabled()) m_untilNext = NextGap();
}

uint64_t CBitErrors::NextGap() {
    // Gaps between independent errors are geometric: no per-bit coin toss on the hot path.
    std::geometric_distribution<uint64_t> gap(m_rate);
    return gap(m_rng);
}

size_t CBitErrors::Apply(uint8_t* bytes, size_t count) {
    if (!Enabled()) return 0;
    size_t flipped = 0;
    uint64_t bit = 0;
    const uint64_t bits = static_cast<uint64_t>(count) * 8;
    while (bit + m_untilNext < bits) {
        bit += m_untilNext;
        bytes[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
        ++flipped;
        ++bit;
        m_untilNext = NextGap();
    }
    m_untilNext -= bits - bit;
    return flipped;
}

}  // namespace zotsim
