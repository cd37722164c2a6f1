// The parameter sets of smallsix and smallfive: every count, length and text
// of their runs and of their results file. Data only, so the study reads the
// programs' facts from here without the driver.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "kit/kernel_names.hpp"

namespace smallarrays {

// The sorts of the table, as their column labels name them.
enum class Algorithm { QS, MS, HS, BS, IS, SS };

// The names of one algorithm: the label of its column in the header line,
// and the kernel that sorts that column, as the precise record names it.
struct AlgorithmNames {
  std::string_view column_label;
  std::string_view kernel;
};

// Indexed by Algorithm.
inline constexpr std::array<AlgorithmNames, 6> kAlgorithmNames{{
    {.column_label = "QS", .kernel = kit::kQuicksortName.name},
    {.column_label = "MS", .kernel = kit::kMergeSortName.name},
    {.column_label = "HS", .kernel = kit::kHeapSortName.name},
    {.column_label = "BS", .kernel = kit::kBubbleSortName.name},
    {.column_label = "IS", .kernel = kit::kInsertionSortName.name},
    {.column_label = "SS", .kernel = kit::kSelectionSortName.name},
}};
static_assert(kAlgorithmNames.size() == static_cast<std::size_t>(Algorithm::SS) + 1, "one entry per algorithm");

// The names of `algorithm`; empty for a value outside the enumeration.
constexpr AlgorithmNames names_of(Algorithm algorithm) {
  const auto index = static_cast<std::size_t>(algorithm);
  return index < kAlgorithmNames.size() ? kAlgorithmNames[index] : AlgorithmNames{};
}

// The label of the algorithm's column in the header line.
constexpr std::string_view column_label(Algorithm algorithm) { return names_of(algorithm).column_label; }

// The kernel that sorts the algorithm's column, as the precise record names it.
constexpr std::string_view kernel_name(Algorithm algorithm) { return names_of(algorithm).kernel; }

// Everything that tells one program of this benchmark from another.
struct SmallArrayProgram {
  const char* name;                       // the program, as runtime errors list it
  std::int32_t arrays;                    // A: arrays in VZOR and in TRIED
  std::int32_t last_slot;                 // L: every POLE spans indices 0..L
  std::span<const std::int32_t> lengths;  // POCET_PRVKOV, one row each, each at most L
  std::span<const Algorithm> algorithms;  // one column each, in table order
  // Layout of "vystup.out".
  std::string_view header;
  std::string_view separator;
  std::string_view row_lead;
  std::int32_t extra_space_below;  // a label below this gets one more space
};

// The caption of the one table, the same in both programs.
inline constexpr std::string_view kSmallArraysCaption = "Vysledky pre maloprvkove polia:";

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
