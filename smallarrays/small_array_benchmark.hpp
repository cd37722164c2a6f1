// The small-array benchmark: comparison sorts timed on a very large number of
// short arrays, one batch per array length and algorithm.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "kit/instruments.hpp"

namespace smallarrays {

// The sorts of the table, as their column labels name them.
enum class Algorithm { QS, MS, HS, BS, IS, SS };

// Everything that tells one program of this benchmark from another.
struct SmallArrayProgram {
  const char* name;                        // the program, as runtime errors list it
  std::int32_t arrays;                     // A: arrays in VZOR and in TRIED
  std::int32_t last_slot;                  // L: every POLE spans indices 0..L
  std::span<const std::int32_t> lengths;   // POCET_PRVKOV, one row each, each at most L
  std::span<const Algorithm> algorithms;   // one column each, in table order
  // Layout of "vystup.out".
  std::string_view header;
  std::string_view separator;
  std::string_view row_lead;
  std::int32_t extra_space_below;  // a label below this gets one more space
};

// The whole run: obtains the arrays, creates "vystup.out" in the current
// directory, measures every (length, algorithm) cell, writes one progress
// line per length to the console and the table to the file.
void run_small_array_benchmark(const SmallArrayProgram& program, const kit::Instruments& instruments = {});

}  // namespace smallarrays
