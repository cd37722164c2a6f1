// What a program run takes from its surroundings besides files: the random
// seed and the wall clock. Production reads the tick count and the real
// clock; tests substitute fixed ones to get reproducible runs.
#pragma once

#include <cstdint>

#include "kit/random_source.hpp"
#include "kit/stopwatch.hpp"

namespace kit {

struct Instruments {
  std::uint32_t (*read_seed)() = tick_count_seed;
  Stopwatch::ReadClock read_clock = read_wall_clock;
};

}  // namespace kit
