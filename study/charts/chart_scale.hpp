// Value axes of the charts: scales from data to pixels, the round values
// worth a grid line, and tick labels in the units a reader expects.
#pragma once

#include <string>
#include <vector>

namespace study::svg {

enum class TickFormat { plain, count, seconds, ratio };

// 20000 as "20k", 0.00012 s as "120 µs", a ratio of 2 as "2×".
std::string format_tick(double value, TickFormat format);

// A value axis: data range [lo, hi] onto pixels [pixel_lo, pixel_hi].
struct Scale {
  double lo = 0;
  double hi = 1;
  bool log = false;
  double pixel_lo = 0;
  double pixel_hi = 1;

  double operator()(double value) const;
  // Round values inside [lo, hi] worth a grid line: 1-2-5 steps, or decades
  // (with 2 and 5 between them when the range is short) on a log scale.
  std::vector<double> ticks() const;
  // lo, hi and the values that cut [lo, hi] into `count` equal steps.
  std::vector<double> steps(int count) const;
};

// Widens [lo, hi] to round limits: whole decades on a log scale, a margin on
// a linear one. lo must be positive on a log scale.
Scale fitted_scale(double lo, double hi, bool log);

}  // namespace study::svg
