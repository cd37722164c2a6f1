// The ratio of two time cells, where a cell of 00:00.00 only says "less
// than one hundredth", so the ratio may be a bound rather than a value.
#pragma once

#include <cstdint>
#include <string>

namespace study {

struct Ratio {
  double value = 1;  // the ratio, or the bound the zero cell allows
  int bound = 0;     // -1: at most value, +1: at least value, 0: exact
  bool known = false;

  // +1 the numerator's algorithm is slower, -1 it is faster, 0 a tie or undecided.
  int side() const;
};

// numerator / denominator in hundredths; unknown when either is negative
// (the clock went back) or both are zero.
Ratio ratio_of(std::int64_t numerator, std::int64_t denominator);

// "2.0×", "0.20×", "<0.05×", ">12×"; an en dash when unknown.
std::string ratio_text(const Ratio& ratio);

}  // namespace study
