// Whether the one-run intervals hold what the runs measure, on real runs:
// ten recorded runs each of tallygrid and tallyduel on one machine, once
// busy with other work and once quiet (data/recorded/). Per cell the
// estimate of all runs (the geometric mean of the paired ratios CSORT /
// QSORT) stands for the truth; each run's own interval for that ratio, as
// the study states it at N = 1, should hold it 95 % of the time. Each run
// gets the noise model its own study would give it: the calibration its
// machine measured, and other work only where its own windows show it. As
// in every decision, a run whose window of the cell lost the processor to
// other work is left out, and so is a cell with fewer than three runs
// left, whose estimate would be little more than the run itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/records/run_model.hpp"
#include "analysis/statistics/noise_model.hpp"
#include "record_fixtures.hpp"
#include "support/test_support.hpp"

namespace {

namespace fs = std::filesystem;

// The median calibration of a machine, from calibration.txt: ten context
// lines "noise calibration: 6.5 % per cell (QSORT of 1000000 values timed
// 10 times, ...)" as a run folder holds them (the busy ones in the older
// form, whose σ follows "times: ").
double measured_calibration(const std::string& folder) {
  std::vector<double> spreads;
  std::istringstream lines(test_support::read_file(fs::path(RECORDED_RUNS_DIR) / folder / "calibration.txt"));
  for (std::string line; std::getline(lines, line);) {
    double percent = 0;
    const std::size_t timed = line.find("times: ");
    const char* figure = timed != std::string::npos ? line.c_str() + timed + 7 : line.c_str() + line.find(": ") + 2;
    if (std::sscanf(figure, "%lf %%", &percent) == 1) spreads.push_back(percent / 100);
  }
  EXPECT_EQ(spreads.size(), 10u) << folder;
  std::sort(spreads.begin(), spreads.end());
  return spreads.empty() ? 0 : spreads[spreads.size() / 2];
}

struct Coverage {
  std::size_t cells = 0;
  std::size_t held = 0;
  std::size_t intervals = 0;
  std::size_t beside_other_work = 0;  // intervals of runs whose windows show other work
  double rate() const { return intervals ? static_cast<double>(held) / static_cast<double>(intervals) : 0; }
};

// Whether run `run` of the grid shows other work, as a study of that run alone would judge it.
bool shows_other_work(const analysis::ProgramGrid& grid, std::size_t run) {
  std::size_t windows = 0, disturbed = 0;
  for (const analysis::TableGrid& table : grid.tables) {
    for (const auto& samples : table.cells) {
      if (run >= samples.size()) continue;
      ++windows;
      disturbed += samples[run].disturbed ? 1 : 0;
    }
  }
  return analysis::shows_other_work(disturbed, windows);
}

// Every run's one-run interval of every cell's CSORT / QSORT against the
// estimate of all runs; `judge_other_work` false gives every run the quiet model.
Coverage coverage(const analysis::RunModel& model, double calibration, bool judge_other_work) {
  Coverage coverage;
  for (const analysis::ProgramGrid& grid : model.programs) {
    const analysis::TableGrid* quick = grid.table("Quicksort");
    const analysis::TableGrid* counting = grid.table("Countingsort");
    if (quick == nullptr || counting == nullptr) {
      ADD_FAILURE() << grid.program << " without its two tables";
      continue;
    }
    for (const analysis::TableGrid::Position& at : quick->positions) {
      std::vector<double> ratios;
      std::vector<bool> other_work;
      const auto& q = quick->cell(at.row, at.column);
      const auto& c =
          counting->cell(*counting->row_index(quick->rows[at.row]), *counting->column_index(quick->columns[at.column]));
      for (std::size_t run = 0; run < q.size() && run < c.size(); ++run) {
        if (q[run].disturbed || c[run].disturbed) continue;
        ratios.push_back(std::max<double>(c[run].nanoseconds, 1) / std::max<double>(q[run].nanoseconds, 1));
        other_work.push_back(judge_other_work && shows_other_work(grid, run));
      }
      if (ratios.size() < 3) continue;
      const double all_runs = analysis::decide(ratios, analysis::NoiseModel{}).ratio;
      ++coverage.cells;
      for (std::size_t i = 0; i < ratios.size(); ++i) {
        const analysis::NoiseModel noise = analysis::noise_model(calibration, other_work[i]);
        const analysis::Decision one = analysis::decide(std::vector<double>{ratios[i]}, noise);
        ++coverage.intervals;
        coverage.beside_other_work += other_work[i] ? 1 : 0;
        if (one.low <= all_runs && all_runs <= one.high) ++coverage.held;
      }
    }
  }
  return coverage;
}

void print(const char* what, const Coverage& c) {
  std::printf("  %s: %.1f %% (%zu of %zu, %zu cells, %zu beside other work)\n", what, 100 * c.rate(), c.held,
              c.intervals, c.cells, c.beside_other_work);
}

// The tolerance: the 95 % is held to three binomial standard errors,
// sqrt(0.95 · 0.05 / 516) = 1.0 % each for the busy runs' 516 intervals. A
// right model holds a little more than 95 %: the estimate of all runs
// includes the run itself, so the two differ by √(1 - 1/N) of a run's noise.
double lowest_rate(const Coverage& c) { return 0.95 - 3 * std::sqrt(0.95 * 0.05 / static_cast<double>(c.intervals)); }

TEST(NoiseCoverage, OneRunIntervalsHoldTheEstimateOfAllRunsOnABusyAndOnAQuietMachine) {
  const double busy_calibration = measured_calibration("busy");
  const double quiet_calibration = measured_calibration("quiet");
  const analysis::RunModel busy = analysis::run_model(fixtures::recorded_runs("busy"));
  const analysis::RunModel quiet = analysis::run_model(fixtures::recorded_runs("quiet"));
  const Coverage busy_judged = coverage(busy, busy_calibration, true);
  const Coverage busy_as_quiet = coverage(busy, busy_calibration, false);
  const Coverage quiet_judged = coverage(quiet, quiet_calibration, true);
  std::printf("one-run 95 %% intervals holding the estimate of the undisturbed runs:\n");
  std::printf(" busy machine, calibrated %.1f %% (median of ten):\n", 100 * busy_calibration);
  print("other work judged by each run's windows", busy_judged);
  print("every run taken for quiet", busy_as_quiet);
  std::printf(" quiet machine, calibrated %.1f %% (median of ten):\n", 100 * quiet_calibration);
  print("other work judged by each run's windows", quiet_judged);

  ASSERT_EQ(busy_judged.intervals, 516u);
  EXPECT_GE(busy_judged.rate(), lowest_rate(busy_judged));
  // The runs can tell a model that falls short: under other work the quiet one does, by far.
  EXPECT_LT(busy_as_quiet.rate(), lowest_rate(busy_as_quiet));
  // Quiet, the runs' windows show no other work and the quiet model holds.
  ASSERT_EQ(quiet_judged.cells, 93u);
  EXPECT_EQ(quiet_judged.beside_other_work, 0u);
  EXPECT_GE(quiet_judged.rate(), lowest_rate(quiet_judged));
}

}  // namespace
