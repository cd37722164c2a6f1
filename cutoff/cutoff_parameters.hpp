// The parameter sets of cutoffwide and cutoffnarrow: lengths, cutoffs, the
// cutoff rule and the table texts. Data only, so the study reads the
// programs' facts from here without the sweep.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "kit/cutoff_measure.hpp"
#include "kit/grid_lengths.hpp"
#include "kit/kernel_names.hpp"
#include "kit/two_table_layout.hpp"

namespace cutoff {

// Everything that tells one cutoff program from another; tests run small ones.
struct CutoffProgram {
  const char* name;                       // the program, as runtime errors list it
  std::int32_t last_index;                // both work arrays span 0..last_index
  std::span<const std::int32_t> lengths;  // POCET_PRVKOV, ascending, each at most last_index
  std::int32_t cutoffs;                   // columns
  std::int32_t row_base;                  // HRANICA at the start of a row; column J uses row_base + J
  kit::CutoffMeasure measure;             // how COMQSORT measures a range against HRANICA
  kit::TwoTableLayout layout;
};

// The sorts of the two tables, as the precise record names them.
inline constexpr std::string_view kRecursiveKernel = kit::kRecursiveQuicksortName.name;
inline constexpr std::string_view kCombinedKernel = kit::kCombinedQuicksortName.name;

// The two tables of either program: the same captions and sorts, under a
// header (and its separator) that lists the program's cutoffs.
constexpr kit::TwoTableLayout cutoff_tables(std::string_view header, std::string_view separator) {
  return {
      .first_caption = "Vysledky pre rekurzivny Quicksort:",
      .second_caption = "Vysledky pre kombinovany Quicksort a Insertsort:",
      .header = header,
      .separator = separator,
      .first_kernel = kRecursiveKernel,
      .second_kernel = kCombinedKernel,
  };
}

// Every value of every cell is drawn from 1..kValueRange.
inline constexpr std::int32_t kValueRange = 1000000;

// Cutoffs 21 to 29 on K - Z: ranges of up to 22 to 30 elements go to ISORT.
inline constexpr CutoffProgram kCutoffwide{
    .name = "cutoffwide",
    .last_index = 50000001,
    .lengths = kit::kGridLengths,
    .cutoffs = 9,
    .row_base = 20,
    .measure = kit::CutoffMeasure::kIndexSpan,
    .layout = cutoff_tables("  n  \\  k |    21    |    22    |    23    |    24    |    25    |    26    |    27    |"
                            "    28    |    29    |",
                            "-----------------------------------------------------------------------------------------"
                            "---------------------"),
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
    .layout = cutoff_tables("  n  \\  k |     3    |     4    |     5    |     6    |     7    |     8    |     9    |",
                            "----------------------------------------------------------------------------------------"),
};

}  // namespace cutoff
