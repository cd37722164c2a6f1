// The parameter sets of cutoffwide and cutoffnarrow.
#pragma once

#include <array>

#include "cutoff/cutoff_sweep.hpp"

namespace cutoff {

inline constexpr std::array<std::int32_t, 12> kCutoffwideLengths{
    10000, 20000, 50000, 100000, 200000, 500000, 1000000, 2000000, 5000000, 10000000, 20000000, 50000000};

// Cutoffs 21 to 29 on K - Z: ranges of up to 22 to 30 elements go to ISORT.
inline constexpr CutoffProgram kCutoffwide{
    .name = "cutoffwide",
    .last_index = 50000001,
    .lengths = kCutoffwideLengths,
    .cutoffs = 9,
    .row_base = 20,
    .measure = kit::CutoffMeasure::kIndexSpan,
    .layout =
        {
            .first_caption = "Vysledky pre rekurzivny Quicksort:",
            .second_caption = "Vysledky pre kombinovany Quicksort a Insertsort:",
            .header = "  n  \\  k |    21    |    22    |    23    |    24    |    25    |    26    |    27    |"
                      "    28    |    29    |",
            .separator = "-----------------------------------------------------------------------------------------"
                         "---------------------",
        },
};

inline constexpr std::array<std::int32_t, 5> kCutoffnarrowLengths{20000000, 30000000, 40000000, 50000000, 60000000};

// Cutoffs 3 to 9 on K - Z + 1: ranges of up to 3 to 9 elements go to ISORT.
inline constexpr CutoffProgram kCutoffnarrow{
    .name = "cutoffnarrow",
    .last_index = 60000001,
    .lengths = kCutoffnarrowLengths,
    .cutoffs = 7,
    .row_base = 2,
    .measure = kit::CutoffMeasure::kElementCount,
    .layout =
        {
            .first_caption = "Vysledky pre rekurzivny Quicksort:",
            .second_caption = "Vysledky pre kombinovany Quicksort a Insertsort:",
            .header = "  n  \\  k |     3    |     4    |     5    |     6    |     7    |     8    |     9    |",
            .separator = "----------------------------------------------------------------------------------------",
        },
};

}  // namespace cutoff
