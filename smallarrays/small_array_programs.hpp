// The parameter sets of smallsix and smallfive.
#pragma once

#include <array>

#include "smallarrays/small_array_benchmark.hpp"

namespace smallarrays {

inline constexpr std::array<std::int32_t, 16> kSmallsixLengths{5,  10, 15, 20, 25, 30, 35, 40,
                                                               45, 50, 55, 60, 65, 70, 75, 80};
inline constexpr std::array<Algorithm, 6> kSmallsixAlgorithms{Algorithm::QS, Algorithm::MS, Algorithm::HS,
                                                              Algorithm::BS, Algorithm::IS, Algorithm::SS};

inline constexpr SmallArrayProgram kSmallsix{
    .name = "smallsix",
    .arrays = 1000000,
    .last_slot = 80,
    .lengths = kSmallsixLengths,
    .algorithms = kSmallsixAlgorithms,
    .header = " n \\ sort |    QS    |    MS    |    HS    |    BS    |    IS    |    SS    |",
    .separator = "-----------------------------------------------------------------------------",
    .row_lead = "    ",
    .extra_space_below = 10,
};

inline constexpr std::array<std::int32_t, 19> kSmallfiveLengths{70,  75,  80,  85,  90,  95,  100, 105, 110, 115,
                                                                120, 125, 130, 135, 140, 145, 150, 155, 160};
// No bubble sort here: at these lengths it would dominate the run.
inline constexpr std::array<Algorithm, 5> kSmallfiveAlgorithms{Algorithm::QS, Algorithm::MS, Algorithm::HS,
                                                               Algorithm::IS, Algorithm::SS};

inline constexpr SmallArrayProgram kSmallfive{
    .name = "smallfive",
    .arrays = 500000,
    .last_slot = 160,
    .lengths = kSmallfiveLengths,
    .algorithms = kSmallfiveAlgorithms,
    .header = " n \\ sort |    QS    |    MS    |    HS    |    IS    |    SS    |",
    .separator = "------------------------------------------------------------------",
    .row_lead = "   ",
    .extra_space_below = 100,
};

}  // namespace smallarrays
