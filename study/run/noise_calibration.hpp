// How noisy the machine times right now, measured in the study's own
// process before the first program, for the decisions of a single run.
//
// The calibration sorts the same data with the suite's quicksort several
// times, about 0.1 s a sort, and takes the spread σ of the log of those
// times. How σ maps to the one-run decisions: a decision compares the
// paired ratio of two cells (two different sorts timed one after the other
// on identical data) and takes its log to spread s·√2, s per cell, as for
// two independently noisy cells. What slows the machine (another tenant,
// its clock) slows two different sorts differently, a memory-bound
// counting sort more than a quicksort, so little of it cancels in the
// pair: each cell carries about the σ of a single kernel, s = σ. Where the
// runs' windows show other work, the analysis adds what a second of
// calibration cannot see of it (analysis/statistics/noise_model.hpp).
#pragma once

#include <optional>
#include <span>
#include <string>

namespace study {

struct NoiseCalibration {
  double cell_spread = 0;  // per cell, relative: σ
  std::string how;         // "QSORT of 1000000 values timed 10 times, 1.2 s"
};

// Measures the machine, in a second or two. SORTBENCH_NOISE_CALIBRATION
// stands in for the measurement, a hook for the tests, whose outputs must
// not depend on the machine that runs them: "off" for no calibration
// (nothing), or a spread per cell such as 0.12, stated instead.
std::optional<NoiseCalibration> calibrate_noise();

// The standard deviation of the logs of repeated times; 0 for fewer than two.
double spread_of_times(std::span<const double> seconds);

}  // namespace study
