// Two studies A and B of the same programs (two builds, compilers, flags or
// machines), cell by cell: the ratio B / A of the medians with a 95 %
// interval, paired by seed when both replayed the same seeds (see
// ratio_estimate.hpp), and one change per kernel, the geometric mean of its
// cells' ratios.
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
