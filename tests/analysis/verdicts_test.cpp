// Verdicts on hand-made records: a clear winner, a tie, a crossover, the best
// cutoff against the recursive row's noise, and a run that did not finish.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/programs/suite_programs.hpp"
#include "analysis/records/kernel_series.hpp"
#include "analysis/records/recorded_run.hpp"
#include "analysis/verdicts/program_verdicts.hpp"
#include "analysis/verdicts/verdict_shapes.hpp"
#include "kit/record/record_format.hpp"
#include "kit/table_caption.hpp"
#include "record_fixtures.hpp"

namespace {

using analysis::MeasurementSet;
using fixtures::add_cell;
using fixtures::Place;
using fixtures::scaled;
using fixtures::times;

const std::vector<double> noise6{1.00, 1.02, 0.99, 1.01, 0.98, 1.03};
const std::vector<double> noise3{1.00, 1.02, 0.99};

#define EXPECT_CONTAINS(text, part) EXPECT_NE((text).find(part), std::string::npos) << (text)

// smallsix, six runs: SS clearly ahead at n = 5, SS and IS tied at n = 10,
// IS clearly ahead at n = 20, where IS and QS both pass SS.
MeasurementSet short_arrays() {
  MeasurementSet set;
  const auto runs = fixtures::runs(6, 100);
  const std::string table = std::string(kit::table_name(smallarrays::kSmallArraysCaption));
  const auto cell = [&](const char* row, const char* column, const std::vector<double>& ns) {
    add_cell(set, Place{"smallsix", table, row, column}, runs, ns);
  };
  cell("5", "QS", scaled(noise6, 200e6));
  cell("5", "IS", scaled(noise6, 150e6));
  cell("5", "SS", scaled(noise6, 100e6));
  cell("10", "QS", scaled(noise6, 300e6));
  cell("10", "IS", times(scaled(noise6, 200e6), {1.03, 0.99, 1.02, 0.98, 1.01, 1.04}));
  cell("10", "SS", scaled(noise6, 200e6));
  cell("20", "QS", scaled(noise6, 400e6));
  cell("20", "IS", scaled(noise6, 300e6));
  cell("20", "SS", scaled(noise6, 450e6));
  return set;
}

// The grid of one program of the set and its series, one per kernel.
struct ProgramSeries {
  analysis::ProgramGrid grid;
  std::vector<analysis::TableGrid> series;
};
ProgramSeries series_of(const MeasurementSet& set, std::string_view program) {
  ProgramSeries made{analysis::program_grid(set, program), {}};
  made.series = analysis::kernel_series(made.grid);
  return made;
}

TEST(RankingVerdict, NamesTheClearWinnerTheTieAndWhereTheRankingChanges) {
  const auto [grid, series] = series_of(short_arrays(), "smallsix");
  ASSERT_EQ(series.size(), 3u);
  const auto rankings = analysis::rank_positions(series, analysis::Pairing::by_repeat);
  ASSERT_EQ(rankings.size(), 3u);
  EXPECT_EQ(series[rankings[0].order[0]].name, "SSORT");
  EXPECT_TRUE(rankings[0].tied_with_fastest.empty());
  EXPECT_NEAR(rankings[0].runner_up->ratio, 1.5, 1e-9);
  ASSERT_EQ(rankings[1].tied_with_fastest.size(), 1u);
  EXPECT_EQ(series[rankings[1].tied_with_fastest[0]].name, "ISORT");
  EXPECT_EQ(series[rankings[2].order[0]].name, "ISORT");

  const auto changes = analysis::ranking_changes(rankings, series, analysis::Pairing::by_repeat);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].ranking, 2u);
  EXPECT_EQ(changes[0].overtakings.size(), 2u);

  const std::string text = analysis::small_array_verdict(grid);
  EXPECT_CONTAINS(text, "smallsix, N = 6 runs, 95 % intervals.");
  EXPECT_CONTAINS(text, "n = 5 SSORT, ahead of ISORT by 1.50× (interval 1.50× to 1.50×)");
  EXPECT_CONTAINS(text, "n = 10 SSORT, not distinguishable at this N from ISORT (ISORT/SSORT");
  EXPECT_CONTAINS(text, "The ranking changes at n = 20 (ISORT passes SSORT, QSORT passes SSORT).");
}

TEST(RankingVerdict, ASingleRunEstablishesNoWinner) {
  MeasurementSet set;
  const auto one = fixtures::runs(1, 7);
  add_cell(set, Place{"smallfive", std::string(kit::table_name(smallarrays::kSmallArraysCaption)), "70", "QS"}, one,
           {100});
  add_cell(set, Place{"smallfive", std::string(kit::table_name(smallarrays::kSmallArraysCaption)), "70", "IS"}, one,
           {300});
  const std::string text = analysis::program_verdict(analysis::program_grid(set, "smallfive"));
  EXPECT_CONTAINS(text, "smallfive, N = 1 run, so no intervals.");
  EXPECT_CONTAINS(text, "n = 70 QSORT, not distinguishable at this N from ISORT (ISORT/QSORT 3.00×)");
}

TEST(DuelVerdict, GivesTheFactorOrSaysTheInputIsUndecided) {
  // As the record labels tallyduel: rows are counts, columns ranges, so two
  // inputs share the row 10000000.
  MeasurementSet set;
  const auto runs = fixtures::runs(3, 40);
  const auto duel = [&](const char* count, const char* range, double quick, const std::vector<double>& counting) {
    add_cell(set, Place{"tallyduel", "Quicksort", count, range}, runs, scaled(noise3, quick));
    add_cell(set, Place{"tallyduel", "Countingsort", count, range}, runs, times(noise3, counting));
  };
  duel("20000000", "10", 500e6, {35e6, 35e6, 35e6});
  duel("10000000", "10", 100e6, {95e6, 105e6, 100e6});
  duel("10000000", "10000000", 2000e6, {300e6, 300e6, 300e6});
  duel("10", "20000000", 500, {1.1e6, 1.1e6, 1.1e6});
  const std::string text = analysis::file_duel_verdict(analysis::program_grid(set, "tallyduel"));
  EXPECT_CONTAINS(text, "tallyduel, N = 3 runs; intervals span the runs (75 % coverage).");
  EXPECT_CONTAINS(text, "n = 20000000, k = 10: CSORT faster by 14.3× (interval 14.3× to 14.3×, 75 % coverage)");
  EXPECT_CONTAINS(text,
                  "n = 10000000, k = 10: not distinguishable at this N; CSORT ahead in the medians by "
                  "1.01× (interval 0.95× to 1.05×, 75 % coverage); n = 10000000, k = 10000000: CSORT faster "
                  "by 6.67×");
  EXPECT_CONTAINS(text, "; n = 10, k = 20000000: QSORT faster by 2200×");
}

// tallygrid, three runs; the counting-sort/quicksort ratio of each cell, by
// row 10000, 20000, 50000, 100000.
MeasurementSet grid_duel() {
  MeasurementSet set;
  const auto runs = fixtures::runs(3, 70);
  const std::vector<const char*> lengths{"10000", "20000", "50000", "100000"};
  const auto column = [&](const char* range, const std::vector<std::vector<double>>& ratios) {
    for (std::size_t r = 0; r < lengths.size(); ++r) {
      const auto quick = scaled(noise3, 1000.0 * static_cast<double>(r + 1));
      add_cell(set, Place{"tallygrid", "Quicksort", lengths[r], range}, runs, quick);
      add_cell(set, Place{"tallygrid", "Countingsort", lengths[r], range}, runs, times(quick, ratios[r]));
    }
  };
  column("10", {{1.5, 1.5, 1.5}, {0.5, 0.5, 0.5}, {0.4, 0.4, 0.4}, {0.3, 0.3, 0.3}});
  column("100", {{2, 2, 2}, {2, 2, 2}, {1.2, 1.2, 1.2}, {0.9, 1.05, 0.95}});
  column("1000", {{2, 2, 2}, {0.8, 0.8, 0.8}, {1.2, 1.2, 1.2}, {0.5, 0.5, 0.5}});
  column("10000000", {{50, 50, 50}, {20, 20, 20}, {5, 5, 5}, {2, 2, 2}});
  return set;
}

TEST(CrossoverVerdict, FindsTheLengthFromWhichCountingSortStaysFaster) {
  const auto [grid, series] = series_of(grid_duel(), "tallygrid");
  ASSERT_EQ(series.size(), 2u);
  ASSERT_EQ(series[0].name, "QSORT");
  const auto crossovers = analysis::crossovers(series[0], series[1], analysis::Pairing::by_repeat);
  ASSERT_EQ(crossovers.size(), 4u);
  EXPECT_EQ(crossovers[0].established_from, 1u);
  EXPECT_EQ(crossovers[1].established_from, std::nullopt);
  EXPECT_EQ(crossovers[1].median_from, 3u);
  EXPECT_EQ(crossovers[2].established_from, 3u);  // faster at 20000, slower again at 50000
  EXPECT_EQ(crossovers[3].median_from, std::nullopt);

  const std::string text = analysis::grid_duel_verdict(grid);
  EXPECT_CONTAINS(text,
                  "k = 10: from n = 20000, where CSORT is faster by 2.00× (interval 2.00× to 2.00×, 75 % coverage)");
  EXPECT_CONTAINS(text,
                  "k = 100: not distinguishable at this N; CSORT ahead in the medians from n = 100000, there by "
                  "1.06× (interval 0.95× to 1.11×, 75 % coverage)");
  EXPECT_CONTAINS(text, "k = 1000: from n = 100000, where");
  EXPECT_CONTAINS(text, "k = 10000000: not faster at n = 100000");
}

TEST(CutoffVerdict, UsesTheRecursiveRowAsTheNoiseOfASingleRun) {
  MeasurementSet set;
  const auto one = fixtures::runs(1, 5);
  const std::vector<const char*> cutoffs{"21", "22", "23", "24", "25"};
  const auto row = [&](const char* length, const std::vector<double>& recursive, const std::vector<double>& combined) {
    for (std::size_t c = 0; c < cutoffs.size(); ++c) {
      add_cell(set, Place{"cutoffwide", "rekurzivny Quicksort", length, cutoffs[c]}, one, {recursive[c]});
      add_cell(set, Place{"cutoffwide", "kombinovany Quicksort a Insertsort", length, cutoffs[c]}, one, {combined[c]});
    }
  };
  row("10000", {100e3, 104e3, 98e3, 102e3, 100e3}, {90e3, 85e3, 88e3, 95e3, 99e3});
  row("20000", {200e3, 210e3, 190e3, 205e3, 195e3}, {199e3, 205e3, 201e3, 210e3, 215e3});
  const auto [grid, series] = series_of(set, "cutoffwide");
  ASSERT_EQ(series[0].name, "REKQSORT");
  const auto best = analysis::best_columns(series[1], series[0]);
  ASSERT_EQ(best.size(), 2u);
  EXPECT_EQ(best[0].best, 1u);
  EXPECT_NEAR(best[0].noise_tolerance, 0.06, 1e-12);
  EXPECT_EQ(best[0].indistinguishable, (std::vector<std::size_t>{0, 2}));
  // One run against the five recursive cells: the whole range, 1 - 2/6.
  EXPECT_NEAR(best[0].against_baseline.interval.coverage, 2.0 / 3.0, 1e-12);

  const std::string text = analysis::cutoff_verdict(grid);
  EXPECT_CONTAINS(text,
                  "n = 10000: cutoff 22, gain 15.0 % (interval 13.3 to 18.3 %, 66.7 % coverage), within "
                  "noise: 21 23 (tolerance 6.0 %)");
  EXPECT_CONTAINS(text,
                  "n = 20000: cutoff 21, gain 0.5 % (interval -4.7 to 5.2 %, 66.7 % coverage), not "
                  "distinguishable at this N from REKQSORT, within noise: 22 23 24 25 (tolerance 10.0 %)");
}

TEST(IncompleteRun, IsReportedAndNeverAveragedIn) {
  MeasurementSet set = short_arrays();
  // Run 6 failed after one window, with an absurd time.
  add_cell(set, Place{"smallsix", std::string(kit::table_name(smallarrays::kSmallArraysCaption)), "5", "SS"},
           {fixtures::Run{6, 106, false}}, {1});
  const auto grid = analysis::program_grid(set, "smallsix");
  EXPECT_EQ(grid.repeats(), 6u);
  ASSERT_EQ(grid.incomplete_runs.size(), 1u);
  EXPECT_EQ(grid.tables[0].cell(0, 2).size(), 6u);
  const auto verdicts = analysis::verdicts(analysis::run_model(set));
  ASSERT_EQ(verdicts.size(), 1u);
  EXPECT_CONTAINS(verdicts[0].text, "Incomplete and left out: run 6 (seed 106, 1 window).");
  EXPECT_CONTAINS(verdicts[0].text, "N = 6 runs");

  MeasurementSet failed_only;
  add_cell(failed_only, Place{"tallygrid", "Quicksort", "10000", "10"}, {fixtures::Run{0, 1, false}}, {5});
  EXPECT_EQ(analysis::verdicts(analysis::run_model(failed_only))[0].text,
            "tallygrid: no complete run. Incomplete and left out: run 0 (seed 1, 1 window).");
}

TEST(MeasurementSet, RefusesWhatNoRunCanRecord) {
  MeasurementSet set;
  const auto one = fixtures::runs(1, 9);
  add_cell(set, Place{"tallygrid", "Quicksort", "10000", "10"}, one, {5});
  EXPECT_THROW(add_cell(set, Place{"tallygrid", "Quicksort", "10000", "10"}, one, {6}), std::invalid_argument);
  EXPECT_THROW(add_cell(set, Place{"tallygrid", "Quicksort", "10000", "100"}, {fixtures::Run{0, 10}}, {6}),
               std::invalid_argument);
  EXPECT_THROW(add_cell(set, Place{"tallygrid", "Quicksort", "20000", "10"}, one, {-1}), std::invalid_argument);
}

const analysis::SuiteProgram& program_named(std::string_view name) { return *analysis::find_suite_program(name); }

TEST(BenchmarkName, NamesEveryProgramsCellsWithItsOwnAxes) {
  const auto name = [](std::string_view program, std::string_view series, std::string_view row,
                       std::string_view column) {
    return analysis::benchmark_name(program, program_named(program).axes(), series, row, column);
  };
  EXPECT_EQ(name("tallygrid", "QSORT", "50000", "100"), "tallygrid/QSORT/n:50000/k:100");
  EXPECT_EQ(name("smallsix", "ISORT", "20", ""), "smallsix/ISORT/n:20");
  EXPECT_EQ(name("cutoffnarrow", "COMQSORT", "20000000", "3"), "cutoffnarrow/COMQSORT/n:20000000/cutoff:3");
  EXPECT_EQ(name("tallyduel", "QSORT", "10", "20000000"), "tallyduel/QSORT/n:10/k:20000000");
  EXPECT_EQ(analysis::benchmark_name("other", analysis::Axes{}, "a table/b", "x y", "z"),
            "other/a_table_b/row:x_y/column:z");
}

TEST(ProgramFacts, NameTheKernelOfEveryTableAndColumnAsTheRecordsDo) {
  EXPECT_EQ(program_named("smallsix").kernel_of(kit::table_name(smallarrays::kSmallArraysCaption), "IS"), "ISORT");
  EXPECT_EQ(program_named("smallfive").kernel_of(kit::table_name(smallarrays::kSmallArraysCaption), "BS"), "")
      << "smallfive has no bubble sort column";
  EXPECT_EQ(program_named("tallyduel").kernel_of(quickvscount::kCountingsortTable, "10"), "CSORT");
  EXPECT_EQ(program_named("tallygrid").kernel_of(kit::table_name(quickvscount::kTallygrid.layout.first_caption), "10"),
            "QSORT");
  EXPECT_EQ(program_named("cutoffwide").kernel_of(kit::table_name(cutoff::kCutoffwide.layout.second_caption), "23"),
            "COMQSORT");
  EXPECT_EQ(program_named("cutoffwide").kernel_of("Quicksort", "23"), "") << "a table of another program";
}

// A record written before records named their kernels reads with the
// kernels of the program's facts; a current record keeps its own.
TEST(RecordedRun, TakesTheKernelFromTheRecordOrForAnOldRecordFromTheProgram) {
  const std::string old_record =
      kit::record::header_line(kit::record::kLabelColumns) +
      "\r\ntallyduel,7,SORTBENCH_SEED,local_time_of_day,CLOCK_MONOTONIC,1,2,Countingsort,10,10,3,31000000\r\n";
  const analysis::RecordedRun old_run = analysis::recorded_run(kit::record::read_record(old_record, "old.csv"), 2);
  ASSERT_EQ(old_run.measurements.size(), 1u);
  EXPECT_EQ(old_run.measurements[0].kernel, "CSORT");
  EXPECT_EQ(old_run.measurements[0].repeat, 2);
  EXPECT_FALSE(old_run.all_windows());

  const std::string new_record = kit::record::header_line() +
                                 "\r\nsomeprogram,7,SORTBENCH_SEED,local_time_of_day,CLOCK_MONOTONIC,1,1,t,10,10,3,"
                                 "31000000,XSORT,0,0,0\r\n";
  const analysis::RecordedRun new_run = analysis::recorded_run(kit::record::read_record(new_record, "new.csv"), 1);
  EXPECT_EQ(new_run.measurements.at(0).kernel, "XSORT");
  EXPECT_TRUE(new_run.all_windows());
}

}  // namespace
