// Whether two cells of a run differ, honestly at every number of runs.
//
// Each paired ratio (the two sorts timed on the same data in one run) is
// taken on the log scale. The interval of their mean is
//   mean ± q · s / √N,
// where s is the spread of one paired log ratio:
//   - from three runs on, the spread the runs show (never taken below the
//     lowest the suite has shown, kLeastCellSpread per cell), with q from
//     Student's t with N - 1 degrees of freedom;
//   - below three runs, where the runs cannot measure their own spread, a
//     noise model: the spread the run itself shows where it repeats a
//     measurement (the cutoff programs' recursive quicksort row), else the
//     suite's measured run-to-run spread, kPriorCellSpread per cell, taken
//     as a stated prior, with q from the normal distribution.
// A difference is decided when the interval excludes 1. When a study adds
// runs until its verdicts are decided, every look at the data spends part
// of the error rate: look k decides at level alpha / (k (k + 1)), so the
// chance of ever calling a difference that is not there stays below alpha
// (the levels add up to alpha (1 - 1 / (K + 1)) over K looks). The share
// shrinks as 1 / k^2, not as 2^-k: with a handful of runs Student's t is
// wide already, and a halving per look outran what a look more could show.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace analysis {

// The run-to-run spread of one cell of this suite, as a fraction of its
// time: 2 to 9 % measured (the same cell over three runs, and the nine
// recursive quicksort cells of one row). The upper end is the prior.
inline constexpr double kPriorCellSpread = 0.09;
inline constexpr double kLeastCellSpread = 0.02;

// The error rate of a decision: 5 %, as a 95 % interval.
inline constexpr double kErrorRate = 0.05;

// Where the spread of a cell comes from when the runs cannot tell it.
struct NoiseModel {
  double cell_spread = kPriorCellSpread;  // per cell, relative
  std::string source = "the suite's run-to-run spread of 9 % per cell, a stated prior";
};

// Which look at the data this is: 0 for a study of fixed size (no
// correction), else the number of rounds of runs looked at so far.
struct Look {
  int number = 0;
  double level() const;  // the error rate this look may spend
};

struct Decision {
  double ratio = 1.0;  // geometric mean of the paired ratios, numerator / denominator
  double low = 1.0;    // the interval
  double high = 1.0;
  double confidence = 0.95;  // 1 - the level of this look
  std::size_t runs = 0;
  bool from_runs = false;  // the spread is the runs' own, not the noise model's
  // Runs whose windows lost the processor to other work are left out; when
  // every run's were, the ratio is theirs and nothing is decided on it.
  std::size_t left_out = 0;
  bool disturbed = false;
  bool decided() const { return !disturbed && (low > 1.0 || high < 1.0); }
  // +1: the numerator is slower, -1 faster, 0 undecided.
  int side() const { return decided() ? (low > 1.0 ? 1 : -1) : 0; }
  // About how many runs in all would decide it at this spread, when it is
  // undecided; nothing when the difference is too small to tell apart
  // within kMostRunsWorthAsking runs.
  std::optional<std::size_t> runs_needed;
};

inline constexpr std::size_t kMostRunsWorthAsking = 100;

// The decision on paired ratios (one per run), each numerator / denominator.
Decision decide(std::span<const double> ratios, const NoiseModel& noise, Look look = {});

// The two-sided quantiles used: of the standard normal, and of Student's t.
double normal_quantile(double probability);
double student_quantile(double probability, double degrees_of_freedom);

}  // namespace analysis
