// The parameter set of tallygrid: its lengths, value ranges and table texts.
// Data only, so the study reads the program's facts from here without the
// driver.
#pragma once

#include <cstdint>
#include <span>

#include "kit/grid_lengths.hpp"
#include "kit/kernel_names.hpp"
#include "kit/two_table_layout.hpp"

namespace quickvscount {

// Everything that tells one grid duel from another; tests run small ones.
struct GridDuelProgram {
  const char* name;                       // the program, as runtime errors list it
  std::int32_t last_index;                // every POLE spans 0..last_index
  std::span<const std::int32_t> lengths;  // POCET_PRVKOV, ascending, each at most last_index
  std::int32_t ranges;                    // columns; column J draws from 1..10^J
  kit::TwoTableLayout layout;
};

inline constexpr GridDuelProgram kTallygrid{
    .name = "tallygrid",
    .last_index = 50000000,
    .lengths = kit::kGridLengths,
    .ranges = 7,
    .layout =
        {
            .first_caption = "Vysledky pre Quicksort:",
            .second_caption = "Vysledky pre Countingsort:",
            .header = "  n  \\  k |    10    |    100   |   1000   |   10000  |  100000  |  1000000 | 10000000 |",
            .separator = "----------------------------------------------------------------------------------------",
            .first_kernel = kit::kQuicksortName.name,
            .second_kernel = kit::kCountingSortName.name,
        },
};

}  // namespace quickvscount
