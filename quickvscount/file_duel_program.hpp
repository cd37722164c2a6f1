// The parameter set of tallyduel.
#pragma once

#include <algorithm>
#include <array>

#include "quickvscount/file_duel.hpp"

namespace quickvscount {

inline constexpr std::int32_t kTallyduelLastSlot = 20000000;
inline constexpr std::array<std::int32_t, 9> kTallyduelCounts{20000000, 10000000, 1000000, 1000, 100000,
                                                              10000000, 10,       10,      10};
inline constexpr std::array<std::int32_t, 9> kTallyduelRanges{10,       10,      10,       1000,    100000,
                                                              10000000, 1000000, 10000000, 20000000};
// Values index counting sort's count array, positions every array.
static_assert(std::ranges::max(kTallyduelCounts) <= kTallyduelLastSlot);
static_assert(std::ranges::max(kTallyduelRanges) <= kTallyduelLastSlot);

inline constexpr FileDuelProgram kTallyduel{
    .name = "tallyduel",
    .last_slot = kTallyduelLastSlot,
    .inputs = {.POCET_PRVKOV = kTallyduelCounts, .ROZSAH_VSTUPU = kTallyduelRanges},
};

}  // namespace quickvscount
