// Per-cell statistics of the precise times of repeated runs.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "analysis/records/program_grid.hpp"

namespace analysis {

// An interval and the probability that it holds the value it estimates.
struct Interval {
  double low = 0.0;
  double high = 0.0;
  double coverage = 0.0;
  bool reaches_nominal = false;  // coverage >= 95 %

  bool contains(double value) const { return low <= value && value <= high; }
};

struct CellStatistics {
  std::size_t count = 0;
  double median = 0.0;
  double minimum = 0.0;
  double maximum = 0.0;
  double mean = 0.0;
  double standard_deviation = 0.0;        // sample deviation (n - 1); 0 for one value
  double coefficient_of_variation = 0.0;  // deviation / mean, a fraction
  Interval median_interval;               // order statistics, see median_rank_interval
};

// The median of values already sorted: the middle one, or the mean of the two.
double sorted_median(std::span<const double> sorted);

// The distribution-free interval for the median of values already sorted.
Interval median_interval(std::span<const double> sorted);

// Statistics of any non-empty sample; throws std::invalid_argument when empty.
CellStatistics cell_statistics(std::vector<double> values);

// ", 75 % coverage" for an interval below 95 %, "" otherwise; "no interval"
// wording is the caller's, for coverage 0.
std::string coverage_note(const Interval& interval);

// Statistics of a cell's nanoseconds.
CellStatistics cell_statistics(std::span<const Sample> samples);

}  // namespace analysis
