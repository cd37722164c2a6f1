// The one random source of a run: MT19937, seeded once from the millisecond
// tick count, so every run draws different data.
#pragma once

#include <cstdint>
#include <random>

namespace kit {

// Milliseconds since system start, truncated to 32 bits.
std::uint32_t tick_count_seed();

class RandomSource {
 public:
  explicit RandomSource(std::uint32_t seed) : generator_(seed) {}

  // A value in 0 .. bound - 1 for a positive bound: the upper 32 bits of the
  // 64-bit product of the bound and the next output.
  std::int32_t below(std::int32_t bound) {
    const std::uint64_t product = static_cast<std::uint64_t>(static_cast<std::uint32_t>(bound)) * generator_();
    return static_cast<std::int32_t>(product >> 32);
  }

 private:
  std::mt19937 generator_;
};

}  // namespace kit
