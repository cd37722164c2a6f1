// Comparing two studies: paired by seed when both replayed the same seeds,
// unpaired otherwise, and refused when they measured different things.
#include "analysis/statistics/run_comparison.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kit/table_caption.hpp"
#include "record_fixtures.hpp"
#include "smallarrays/small_array_parameters.hpp"

namespace {

using analysis::ComparisonRefused;
using analysis::MeasurementSet;
using fixtures::add_cell;
using fixtures::Place;

#define EXPECT_CONTAINS(text, part) EXPECT_NE((text).find(part), std::string::npos) << (text)

// The data of a seed make some runs far slower than others; a build changes
// each time by a factor per seed.
const std::vector<double> data_of_seed{1.0, 3.0, 0.5, 2.0, 1.5, 0.8};

std::vector<fixtures::Run> runs_in_order(const std::vector<std::uint32_t>& seeds) {
  std::vector<fixtures::Run> runs;
  for (std::size_t i = 0; i < seeds.size(); ++i) runs.push_back(fixtures::Run{static_cast<int>(i), seeds[i], true});
  return runs;
}

// tallygrid with seeds first_seed + i (i = 0..5) run in the given order of i;
// quick and counting scale each seed's time.
MeasurementSet grid_study(std::uint32_t first_seed, const std::vector<std::size_t>& order,
                          const std::vector<double>& quick, const std::vector<double>& counting) {
  MeasurementSet set;
  std::vector<std::uint32_t> seeds;
  for (const std::size_t i : order) seeds.push_back(first_seed + static_cast<std::uint32_t>(i));
  const auto runs = runs_in_order(seeds);
  for (const char* length : {"10000", "20000"}) {
    const double scale = length[0] == '1' ? 1e6 : 2e6;
    std::vector<double> q;
    std::vector<double> c;
    for (const std::size_t i : order) {
      q.push_back(scale * data_of_seed[i] * quick[i]);
      c.push_back(0.1 * scale * data_of_seed[i] * counting[i]);
    }
    add_cell(set, Place{"tallygrid", "Quicksort", length, "10"}, runs, q);
    add_cell(set, Place{"tallygrid", "Countingsort", length, "10"}, runs, c);
  }
  return set;
}

const std::vector<std::size_t> in_order{0, 1, 2, 3, 4, 5};
const std::vector<double> unchanged(6, 1.0);
const std::vector<double> quick_three_percent_faster{0.97 * 1.002, 0.97 * 0.998, 0.97 * 1.001,
                                                     0.97 * 0.999, 0.97,         0.97 * 1.003};
const std::vector<double> counting_noise{0.99, 1.01, 1.0, 1.005, 0.995, 1.002};

TEST(CompareRuns, SameSeedsArePairedBySeedWhateverTheOrderOfTheRuns) {
  const MeasurementSet a = grid_study(100, in_order, unchanged, unchanged);
  const MeasurementSet b = grid_study(100, {3, 0, 5, 1, 4, 2}, quick_three_percent_faster, counting_noise);
  const auto comparison = analysis::compare_runs(analysis::run_model(a), analysis::run_model(b));
  ASSERT_EQ(comparison.programs.size(), 1u);
  const auto& program = comparison.programs[0];
  EXPECT_TRUE(program.paired_by_seed);
  ASSERT_EQ(program.cells.size(), 4u);
  EXPECT_EQ(program.cells[0].name, "tallygrid/QSORT/n:10000/k:10");
  EXPECT_TRUE(program.cells[0].ratio.paired);
  EXPECT_NEAR(program.cells[0].ratio.interval.low, 0.97 * 0.998, 1e-5);
  EXPECT_NEAR(program.cells[0].ratio.interval.high, 0.97 * 1.003, 1e-5);

  ASSERT_EQ(program.kernels.size(), 2u);
  EXPECT_EQ(program.kernels[0].series, "QSORT");
  EXPECT_EQ(program.kernels[0].cells, 2u);
  EXPECT_TRUE(program.kernels[0].interval.reaches_nominal);
  EXPECT_EQ(analysis::summary_line(program),
            "tallygrid: B is 2.9 % faster on QSORT, interval 2.7 to 3.2 %; no change on CSORT (B/A 0.990 to 1.010). "
            "N = 6 and 6, paired by seed.");

  const auto chart = analysis::ratio_chart(program);
  ASSERT_EQ(chart.size(), 2u);
  EXPECT_EQ(chart[1].series, "CSORT");
  ASSERT_EQ(chart[0].points.size(), 2u);
  EXPECT_EQ(chart[0].points[1].row, "20000");
  EXPECT_TRUE(chart[0].points[1].distinguishable);
  EXPECT_FALSE(chart[1].points[0].distinguishable);
  EXPECT_LE(chart[0].points[1].low, chart[0].points[1].ratio);
}

TEST(CompareRuns, DifferentSeedsAreComparedUnpaired) {
  const MeasurementSet a = grid_study(100, in_order, unchanged, unchanged);
  const MeasurementSet b = grid_study(200, {3, 0, 5, 1, 4, 2}, quick_three_percent_faster, counting_noise);
  const auto program = analysis::compare_runs(analysis::run_model(a), analysis::run_model(b)).programs.at(0);
  EXPECT_FALSE(program.paired_by_seed);
  EXPECT_FALSE(program.cells[0].ratio.paired);
  // Six runs against six: ranks 6 and 31 of the 36 pairwise ratios, and the
  // spread of the data hides the 3 %.
  EXPECT_TRUE(program.cells[0].ratio.interval.contains(1.0));
  const std::string line = analysis::summary_line(program);
  EXPECT_CONTAINS(line, "no change on QSORT");
  EXPECT_CONTAINS(line, "N = 6 and 6, different seeds, unpaired.");
}

TEST(CompareRuns, RefusesStudiesOfDifferentProgramsOrCells) {
  const MeasurementSet a = grid_study(100, in_order, unchanged, unchanged);
  MeasurementSet more = grid_study(100, in_order, unchanged, unchanged);
  add_cell(more, Place{"smallsix", std::string(kit::table_name(smallarrays::kSmallArraysCaption)), "5", "QS"},
           fixtures::runs(1, 1), {10});
  try {
    analysis::compare_runs(analysis::run_model(a), analysis::run_model(more));
    ADD_FAILURE() << "compared different programs";
  } catch (const ComparisonRefused& refused) {
    EXPECT_STREQ(refused.what(), "A and B ran different programs: A tallygrid; B tallygrid, smallsix");
  }

  MeasurementSet fewer;
  const auto runs = fixtures::runs(6, 100);
  for (const char* table : {"Quicksort", "Countingsort"}) {
    add_cell(fewer, Place{"tallygrid", table, "10000", "10"}, runs, std::vector<double>(6, 5.0));
  }
  add_cell(fewer, Place{"tallygrid", "Quicksort", "20000", "10"}, runs, std::vector<double>(6, 5.0));
  try {
    analysis::compare_runs(analysis::run_model(a), analysis::run_model(fewer));
    ADD_FAILURE() << "compared different cells";
  } catch (const ComparisonRefused& refused) {
    EXPECT_STREQ(refused.what(),
                 "tallygrid: A and B measured different cells (other parameters?): table \"Countingsort\" row "
                 "\"20000\" column \"10\" only in A");
  }

  MeasurementSet failed;
  add_cell(failed, Place{"tallygrid", "Quicksort", "10000", "10"}, {fixtures::Run{0, 1, false}}, {5});
  EXPECT_THROW(analysis::compare_runs(analysis::run_model(a), analysis::run_model(failed)), ComparisonRefused);
}

TEST(CompareRuns, IncompleteRunsAreLeftOutAndCounted) {
  const MeasurementSet a = grid_study(100, in_order, unchanged, unchanged);
  MeasurementSet b = grid_study(100, in_order, unchanged, unchanged);
  add_cell(b, Place{"tallygrid", "Quicksort", "10000", "10"}, {fixtures::Run{6, 106, false}}, {1});
  const auto program = analysis::compare_runs(analysis::run_model(a), analysis::run_model(b)).programs.at(0);
  EXPECT_TRUE(program.paired_by_seed);
  EXPECT_EQ(program.runs_b, 6u);
  EXPECT_DOUBLE_EQ(program.cells[0].ratio.ratio, 1.0);
  EXPECT_CONTAINS(analysis::summary_line(program), "1 incomplete run left out.");
}

}  // namespace
