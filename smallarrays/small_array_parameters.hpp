// The parameter sets of smallsix and smallfive: every count, length and text
// of their runs and of their results file. Data only, so the study reads the
// programs' facts from here without the driver.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace smallarrays {

// The sorts of the table, as their column labels name them.
enum class Algorithm { QS, MS, HS, BS, IS, SS };

// The label of the algorithm's column in the header line.
constexpr std::string_view column_label(Algorithm algorithm) {
  switch (algorithm) {
    case Algorithm::QS:
      return "QS";
    case Algorithm::MS:
      return "MS";
    case Algorithm::HS:
      return "HS";
    case Algorithm::BS:
      return "BS";
    case Algorithm::IS:
      return "IS";
    case Algorithm::SS:
      return "SS";
  }
  return "";
}

// The kernel that sorts the algorithm's column, as the precise record names it.
constexpr std::string_view kernel_name(Algorithm algorithm) {
  switch (algorithm) {
    case Algorithm::QS:
      return "QSORT";
    case Algorithm::MS:
      return "MSORT";
    case Algorithm::HS:
      return "HSORT";
    case Algorithm::BS:
      return "BSORT";
    case Algorithm::IS:
      return "ISORT";
    case Algorithm::SS:
      return "SSORT";
  }
  return "";
}

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
