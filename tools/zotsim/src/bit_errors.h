#pragma once
// Random bit errors of one direction of a line: each bit flips with the given probability,
// independently, from a seeded generator so runs can be repeated.
#include <cstddef>
#include <cstdint>
#include <random>

namespace zotsim {

class CBitErrors {
  public:
    CBitErrors(double rate, uint32_t seed);
    bool Enabled() const { return m_rate > 0; }
    // Flips the bits due in these bytes; returns how many it flipped.
    size_t Apply(uint8_t* bytes, size_t count);

  private:
    uint64_t NextGap();
    double m_rate;
    std::mt19937_64 m_rng;
    uint64_t m_untilNext = 0;  // clean bits before the next error
};

}  // namespace zotsim
