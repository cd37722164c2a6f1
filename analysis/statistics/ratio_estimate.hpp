// The ratio of two cells' times with a distribution-free 95 % interval.
//
// Paired samples (both sides timed on the same data: two kernels of one run,
// or two builds replaying the same seed) give one ratio per pair; the
// interval is the order-statistic interval of the median of those ratios.
// Unpaired samples give all pairwise ratios B_i / A_j; the interval is the
// Hodges-Lehmann interval of their shift on the log scale, with ranks from
// the Mann-Whitney distribution (exact for small samples). The point is the
// ratio of the two medians either way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "analysis/records/program_grid.hpp"
#include "analysis/statistics/cell_statistics.hpp"

namespace analysis {

enum class Pairing {
  none,       // independent samples
  by_repeat,  // same run: the kernels of one cell shared its data
  by_seed,    // same seed: two builds drew the same data
};

struct RatioEstimate {
  double ratio = 1.0;  // median(numerator) / median(denominator)
  Interval interval;
  bool paired = false;
  std::size_t numerator_count = 0;
  std::size_t denominator_count = 0;

  // The interval stands clear of 1 and holds with some probability: a single
  // pair (coverage 0) establishes nothing.
  bool above_one() const { return interval.coverage > 0.0 && interval.low > 1.0; }
  bool below_one() const { return interval.coverage > 0.0 && interval.high < 1.0; }
  bool distinguishable() const { return above_one() || below_one(); }
};

// A value with the key it is paired by.
struct KeyedValue {
  std::uint64_t key = 0;
  double value = 0.0;
};

// Pairs equal keys; falls back to unpaired when no key is shared.
RatioEstimate paired_ratio(std::span<const KeyedValue> numerator, std::span<const KeyedValue> denominator);

RatioEstimate unpaired_ratio(std::span<const double> numerator, std::span<const double> denominator);

// The ratio of two cells, paired as asked. Throws std::invalid_argument when
// either cell is empty.
RatioEstimate ratio_estimate(std::span<const Sample> numerator, std::span<const Sample> denominator, Pairing pairing);

// A window shorter than the clock's tick reads 0 ns; it counts as 1 ns so
// that ratios and logarithms stay finite.
inline double positive_time(double nanoseconds) { return nanoseconds < 1.0 ? 1.0 : nanoseconds; }

}  // namespace analysis
