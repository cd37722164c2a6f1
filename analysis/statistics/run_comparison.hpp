// Two studies A and B of the same programs (two builds, compilers, flags or
// machines), cell by cell: the ratio B / A of the medians with a 95 %
// interval, paired by seed when both replayed the same seeds (see
// ratio_estimate.hpp), and one change per kernel, the geometric mean of its
// cells' ratios. Two builds run in turn on the same machine time are
// compared round by round instead, with the decision of paired ratios
// (compare_rounds).
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/records/run_model.hpp"
#include "analysis/statistics/cell_statistics.hpp"
#include "analysis/statistics/ratio_estimate.hpp"

namespace analysis {

// Studies of different programs or cells cannot be compared.
class ComparisonRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct CellRatio {
  std::string series;  // the kernel, see kernel_series()
  std::string row;
  std::string column;
  std::string name;     // benchmark_name() of the cell
  RatioEstimate ratio;  // B / A
};

// One kernel (or table) over all its cells. The point is the geometric mean
// of the cells' ratios; the interval comes from each run's geometric mean
// over the same cells, compared as one cell would be.
struct KernelChange {
  std::string series;
  std::size_t cells = 0;
  double geometric_mean_ratio = 1.0;
  Interval interval;
};

struct ProgramComparison {
  std::string program;
  bool paired_by_seed = false;
  // A and B ran in turn, round by round on the same seed: each interval is
  // decide()'s over the rounds' paired ratios (compare_rounds).
  bool paired_by_round = false;
  std::size_t runs_a = 0;
  std::size_t runs_b = 0;
  std::vector<RunSummary> incomplete_a;
  std::vector<RunSummary> incomplete_b;
  std::vector<CellRatio> cells;
  std::vector<KernelChange> kernels;
};

struct RunComparison {
  std::vector<ProgramComparison> programs;
};

// Throws ComparisonRefused, naming the difference, when the studies hold
// different programs, a program without a complete run, or different cells
// (tables, rows, columns).
RunComparison compare_runs(const RunModel& a, const RunModel& b);

// Two builds' runs of one program, made in turn: round k of A and round k
// of B (repeat k of each grid) drew the same data one after the other, so
// each round gives one ratio B / A per cell, and per kernel the ratio of
// the round's geometric means over the kernel's cells. decide() makes an
// interval of each from the rounds, as a program's own verdicts do; a
// round that one build did not complete, or ran on another seed, is left
// out. Throws ComparisonRefused when either has no complete run or the two
// measured different cells.
ProgramComparison compare_rounds(const ProgramGrid& a, const ProgramGrid& b);

// What every ratio of two separate studies holds besides the builds.
inline constexpr const char* kSeparateStudiesNote =
    "The machine's drift between the two studies is part of every ratio: time two builds with study compare-builds.";

// "tallygrid: B is 3.1 % faster on QSORT, interval 2.4 to 3.8 %; no change
// on CSORT (B/A 0.994 to 1.004). N = 3 and 3, paired by seed."
std::string summary_line(const ProgramComparison& comparison);

// What a chart of one program draws: per kernel, per cell in table order,
// the ratio and its interval.
struct RatioPoint {
  std::string row;
  std::string column;
  double ratio = 1.0;
  double low = 1.0;
  double high = 1.0;
  double coverage = 0.0;
  bool distinguishable = false;
};

struct RatioSeries {
  std::string series;
  std::vector<RatioPoint> points;
};

std::vector<RatioSeries> ratio_chart(const ProgramComparison& comparison);

}  // namespace analysis
