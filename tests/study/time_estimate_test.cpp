// The time a study has left: the cost model of each program's steps, the
// estimate fitted to a run's own steps, and the earlier runs it starts from.
#include "study/estimate/time_estimate.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "analysis/programs/suite_programs.hpp"
#include "child_process.hpp"
#include "result_fixtures.hpp"
#include "stand_in_programs.hpp"
#include "study/estimate/run_timings.hpp"
#include "study/estimate/step_costs.hpp"
#include "study/model/run_folder_layout.hpp"
#include "support/test_support.hpp"

namespace {

namespace fs = std::filesystem;
using study::ProgramCost;
using study::StepCost;

const analysis::SuiteProgram& program_named(std::string_view name) { return *analysis::find_suite_program(name); }

const StepCost& step(const ProgramCost& cost, std::size_t row, std::size_t column, std::size_t columns) {
  return cost.steps.at(row * columns + column);
}

// ---------------------------------------------------------------------------
// The cost model

TEST(StepCosts, EveryProgramHasOneCostPerStepAndAStart) {
  for (const analysis::SuiteProgram& program : analysis::kSuitePrograms) {
    const ProgramCost cost = study::program_cost(program);
    EXPECT_EQ(cost.steps.size(), static_cast<std::size_t>(program.progress_steps)) << program.name;
    EXPECT_GT(cost.start.total(), 0) << program.name;
    for (const StepCost& each : cost.steps) EXPECT_GT(each.total(), 0) << program.name;
  }
}

TEST(StepCosts, QuicksortWorkIsNLogNLessTheLevelsOverEqualKeys) {
  EXPECT_DOUBLE_EQ(study::quicksort_work(1 << 20, 1 << 20), 20.0 * (1 << 20));
  EXPECT_DOUBLE_EQ(study::quicksort_work(1 << 20, 1 << 30), 20.0 * (1 << 20));
  double before = 0;
  for (std::int64_t range = 10; range <= 100'000'000; range *= 10) {
    const double work = study::quicksort_work(50'000'000, range);
    EXPECT_GT(work, before) << range;
    before = work;
  }
  // Ten values: a few levels sort them, the rest halve runs of one value.
  EXPECT_LT(study::quicksort_work(50'000'000, 10), 0.3 * study::quicksort_work(50'000'000, 50'000'000));
}

TEST(StepCosts, GridCellsCostMoreWithTheLengthAndWithTheValueRange) {
  const ProgramCost cost = study::program_cost(program_named("tallygrid"));
  const std::size_t rows = quickvscount::kTallygrid.lengths.size();
  const auto columns = static_cast<std::size_t>(quickvscount::kTallygrid.ranges);
  for (std::size_t row = 0; row < rows; ++row) {
    for (std::size_t column = 0; column < columns; ++column) {
      const StepCost& cell = step(cost, row, column, columns);
      if (column > 0) {
        // Quicksort's part stops growing once the range is wider than the array.
        const StepCost& narrower = step(cost, row, column - 1, columns);
        EXPECT_GE(cell.n_log_n, narrower.n_log_n) << row << " " << column;
        EXPECT_GT(cell.other, narrower.other) << row << " " << column;
      }
      if (row > 0) {
        EXPECT_GT(cell.total(), step(cost, row - 1, column, columns).total()) << row << " " << column;
      }
    }
  }
  // The last row is most of the run: the reason a count of steps misleads.
  EXPECT_GT(1 - study::cost_share(cost, static_cast<int>((rows - 1) * columns)), 0.5);
}

TEST(StepCosts, CutoffCellsOfARowCostTheSameAndRowsGrow) {
  for (const char* name : {"cutoffwide", "cutoffnarrow"}) {
    const analysis::SuiteProgram& program = program_named(name);
    const auto& parameters = *std::get<const cutoff::CutoffProgram*>(program.parameters);
    const ProgramCost cost = study::program_cost(program);
    const auto columns = static_cast<std::size_t>(parameters.cutoffs);
    for (std::size_t row = 0; row < parameters.lengths.size(); ++row) {
      for (std::size_t column = 1; column < columns; ++column) {
        EXPECT_DOUBLE_EQ(step(cost, row, column, columns).total(), step(cost, row, 0, columns).total()) << name;
      }
      if (row > 0) {
        EXPECT_GT(step(cost, row, 0, columns).total(), step(cost, row - 1, 0, columns).total()) << name;
      }
    }
  }
}

TEST(StepCosts, SmallArrayRowsGrowAndTheQuadraticSortsTakeOver) {
  for (const char* name : {"smallsix", "smallfive"}) {
    const ProgramCost cost = study::program_cost(program_named(name));
    for (std::size_t row = 1; row < cost.steps.size(); ++row) {
      const StepCost &shorter = cost.steps[row - 1], &longer = cost.steps[row];
      EXPECT_GT(longer.n_log_n, shorter.n_log_n) << name << " " << row;
      EXPECT_GT(longer.other, shorter.other) << name << " " << row;
    }
    const StepCost &first = cost.steps.front(), &last = cost.steps.back();
    EXPECT_GT(last.other / last.n_log_n, 1.5 * first.other / first.n_log_n) << name;
  }
}

TEST(StepCosts, TheDuelsInputsWeighCountingSortByCountPlusRange) {
  const ProgramCost cost = study::program_cost(program_named("tallyduel"));
  const auto& counts = quickvscount::kTallyduelCounts;
  const auto& ranges = quickvscount::kTallyduelRanges;
  // The last three inputs hold 10 values each over ever wider ranges:
  // counting sort's part grows by the range, quicksort's stays put.
  ASSERT_EQ(counts[6], counts[7]);
  ASSERT_EQ(counts[7], counts[8]);
  const double first_step = cost.steps[7].other - cost.steps[6].other;
  const double second_step = cost.steps[8].other - cost.steps[7].other;
  EXPECT_GT(first_step, 0);
  EXPECT_NEAR(second_step / first_step, double(ranges[8] - ranges[7]) / double(ranges[7] - ranges[6]), 1e-3);
  EXPECT_DOUBLE_EQ(cost.steps[7].n_log_n, cost.steps[6].n_log_n);
  // Ten million values over ten million: more than twenty million over ten.
  EXPECT_GT(cost.steps[5].total(), cost.steps[0].total());
  // Writing the input file comes before the first step.
  EXPECT_GT(cost.start.total(), cost.steps[1].total());
}

TEST(StepCosts, SharesRiseWithEveryStepToOneAtTheEnd) {
  for (const analysis::SuiteProgram& program : analysis::kSuitePrograms) {
    const ProgramCost cost = study::program_cost(program);
    EXPECT_EQ(study::cost_share(cost, 0), 0.0) << program.name;
    double before = 0;
    for (int steps = 1; steps <= program.progress_steps; ++steps) {
      const double share = study::cost_share(cost, steps);
      EXPECT_GE(share, before) << program.name << " " << steps;
      before = share;
    }
    EXPECT_DOUBLE_EQ(study::cost_share(cost, program.progress_steps), 1.0) << program.name;
  }
}

// ---------------------------------------------------------------------------
// The estimate fitted to a run's own steps

// Seconds into a run at each step count (0 first) of a machine that runs
// the model's two parts at `n_log_n_pace` and `other_pace` seconds per
// nominal second, each step off by up to `noise` either way.
std::vector<double> synthetic_run(const ProgramCost& cost, double n_log_n_pace, double other_pace, double noise,
                                  std::mt19937& random) {
  std::uniform_real_distribution<double> off(1 - noise, 1 + noise);
  const auto seconds = [&](const StepCost& part) {
    return (n_log_n_pace * part.n_log_n + other_pace * part.other) * off(random);
  };
  std::vector<double> at{0.0, seconds(cost.start)};  // the start ends with the first step
  for (const StepCost& each : cost.steps) at.push_back(at.back() + seconds(each));
  at.erase(at.begin() + 1);
  return at;
}

// The worst error of the time left shown after the first tenth of the run,
// as a share of the time truly left, less 2 % of the run: in the last
// seconds one step's own noise is more than a quarter of what is left.
double worst_after_a_tenth(const analysis::SuiteProgram& program, const std::vector<double>& at) {
  study::TimeEstimate estimate;
  estimate.start_run();
  estimate.note_step(0, 0.0);
  const double whole = at.back();
  double worst = 0;
  for (std::size_t s = 1; s + 1 < at.size(); ++s) {
    // Lines that arrive within a millisecond are read together.
    if (at[s + 1] - at[s] < 1e-3) continue;
    estimate.note_step(static_cast<int>(s), at[s]);
    const std::optional<double> rest = estimate.rest_of_run(program, static_cast<int>(s), at[s]);
    EXPECT_TRUE(rest) << program.name << " " << s;
    if (!rest || at[s] < 0.1 * whole) continue;
    const double truth = whole - at[s];
    worst = std::max(worst, (std::abs(*rest - truth) - 0.02 * whole) / truth);
  }
  return worst;
}

TEST(FittedEstimate, IsWithinAQuarterAfterATenthOfEveryProgramsRun) {
  std::mt19937 random(20240611);
  // A machine like the model's, one twice as slow whose sorts fall further
  // behind, and one whose sorts gain on the rest.
  const std::pair<double, double> machines[] = {{1.0, 1.0}, {2.6, 1.8}, {0.8, 1.2}};
  for (const analysis::SuiteProgram& program : analysis::kSuitePrograms) {
    const ProgramCost cost = study::program_cost(program);
    for (const auto& [n_log_n_pace, other_pace] : machines) {
      const std::vector<double> at = synthetic_run(cost, n_log_n_pace, other_pace, 0.15, random);
      EXPECT_LT(worst_after_a_tenth(program, at), 0.25) << program.name << " at " << n_log_n_pace << "/" << other_pace;
    }
  }
}

TEST(FittedEstimate, FitsTheTwoPartsApartWhenTheStepsShowThem) {
  // The quadratic sorts run three times slower than the model says, the
  // others as it says: one factor for all would miss the long rows.
  const analysis::SuiteProgram& program = program_named("smallsix");
  const ProgramCost cost = study::program_cost(program);
  constexpr int kSeen = 4;  // of 16 rows
  std::mt19937 random(7);
  const std::vector<double> at = synthetic_run(cost, 1.0, 3.0, 0.0, random);
  study::TimeEstimate estimate;
  estimate.start_run();
  for (int s = 1; s <= kSeen; ++s) estimate.note_step(s, at[static_cast<std::size_t>(s)]);
  const double truth = at.back() - at[kSeen];
  const double share = study::cost_share(cost, kSeen);
  const double common_pace = at[kSeen] * (1 - share) / share;
  const double fitted = *estimate.rest_of_run(program, kSeen, at[kSeen]);
  EXPECT_GT(std::abs(common_pace - truth), 0.1 * truth);
  // The first rows' two parts grow alike, so they tell the factors apart only in part.
  EXPECT_LT(std::abs(fitted - truth), std::abs(common_pace - truth) / 1.5);
  EXPECT_NEAR(fitted, truth, 0.08 * truth);
}

TEST(FittedEstimate, IsUnknownBeforeTheFirstStepAndCountsDownWithinAStep) {
  const analysis::SuiteProgram& grid = program_named("tallygrid");
  const ProgramCost cost = study::program_cost(grid);
  study::TimeEstimate estimate;
  estimate.start_run();
  estimate.note_step(0, 0.0);
  EXPECT_FALSE(estimate.rest_of_run(grid, 0, 5.0));
  EXPECT_DOUBLE_EQ(estimate.time_share(grid, 0, 5.0), 0.0);

  std::mt19937 random(3);
  const std::vector<double> at = synthetic_run(cost, 1.5, 1.5, 0.0, random);
  const int steps = 76;  // the last row is next
  for (int s = 1; s <= steps; ++s) estimate.note_step(s, at[static_cast<std::size_t>(s)]);
  const double reached = at[steps];
  const double rest = *estimate.rest_of_run(grid, steps, reached);
  EXPECT_NEAR(rest, at.back() - reached, 1e-6 * rest);
  EXPECT_NEAR(estimate.time_share(grid, steps, reached), reached / at.back(), 1e-9);
  // Ticks during the next step count down; an overdue step leaves the rest after it.
  const double next = at[steps + 1] - reached;
  EXPECT_NEAR(*estimate.rest_of_run(grid, steps, reached + next / 2), rest - next / 2, 1e-6 * rest);
  EXPECT_NEAR(*estimate.rest_of_run(grid, steps, reached + 3 * next), at.back() - at[steps + 1], 1e-6 * rest);
}

// ---------------------------------------------------------------------------
// Earlier runs: the previous repeat, or an earlier study's

TEST(EarlierRuns, AreFollowedStepByStepAtTheCurrentPace) {
  const analysis::SuiteProgram& grid = program_named("tallygrid");
  const ProgramCost cost = study::program_cost(grid);
  std::mt19937 random(11);
  // The earlier run's steps took other times than the model says.
  const std::vector<double> earlier = synthetic_run(cost, 2.0, 0.5, 0.1, random);
  study::TimeEstimate estimate;
  EXPECT_FALSE(estimate.whole_run(grid));
  estimate.note_earlier_run(grid, {earlier.back(), earlier});
  EXPECT_DOUBLE_EQ(*estimate.whole_run(grid), earlier.back());

  // Before the run's first step only the earlier run tells.
  estimate.start_run();
  EXPECT_NEAR(*estimate.rest_of_run(grid, 0, 0.0), earlier.back(), 0.05 * earlier.back());
  // Early on, a run keeping the earlier pace is told the earlier run's rest;
  // one going at half that pace is told about twice as much once a tenth
  // of the run has shown it.
  const int early = 30, later = 70;
  const double on_pace = *estimate.rest_of_run(grid, early, earlier[early]);
  EXPECT_NEAR(on_pace, earlier.back() - earlier[early], 0.01 * on_pace);
  ASSERT_GT(earlier[later], 0.1 * earlier.back());
  for (int s = 1; s <= later; ++s) estimate.note_step(s, 2 * earlier[static_cast<std::size_t>(s)]);
  const double slower = *estimate.rest_of_run(grid, later, 2 * earlier[later]);
  EXPECT_NEAR(slower, 2 * (earlier.back() - earlier[later]), 0.05 * slower);

  // A run of this study replaces the earlier study's.
  estimate.start_run();
  estimate.note_step(0, 0.0);
  estimate.note_step(84, 30.0);
  estimate.note_run(grid, 31.0);
  EXPECT_DOUBLE_EQ(*estimate.whole_run(grid), 31.0);
  const study::Timeline& seen = estimate.runs_seen().at("tallygrid");
  ASSERT_EQ(seen.at_step.size(), 85u);
  // Step counts never seen lie between their neighbours by the model's cost.
  for (std::size_t s = 1; s < seen.at_step.size(); ++s) EXPECT_GE(seen.at_step[s], seen.at_step[s - 1]) << s;
  EXPECT_NEAR(seen.at_step[42], 30.0 * study::cost_share(cost, 42), 1e-9);
  EXPECT_DOUBLE_EQ(seen.at_step[84], 30.0);
}

TEST(EarlierRuns, TimingsFileKeepsEachProgramsStepsAndRefusesLinesThatDoNotFit) {
  const analysis::SuiteProgram& narrow = program_named("cutoffnarrow");
  study::Timeline run{40.25, {0.0}};
  for (int s = 1; s <= narrow.progress_steps; ++s) run.at_step.push_back(s * 1.125);
  const std::string text = study::timings_text({{"cutoffnarrow", run}});
  ASSERT_EQ(text.substr(0, text.find(' ', 13)), "cutoffnarrow 40.250");
  const study::Timelines read = study::parse_timings(text);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_DOUBLE_EQ(read.at("cutoffnarrow").whole, 40.25);
  ASSERT_EQ(read.at("cutoffnarrow").at_step.size(), run.at_step.size());
  for (std::size_t s = 0; s < run.at_step.size(); ++s)
    EXPECT_NEAR(read.at("cutoffnarrow").at_step[s], run.at_step[s], 1e-3);

  const std::string good = text.substr(0, text.size() - 1);
  const std::string steps = good.substr(good.find(' ', 13));
  const std::string bad[] = {
      "cutoffwide 40.250" + steps,                     // another program's step count
      "cutoffnarrow 40.250" + steps + " 40.0",         // a step too many
      "cutoffnarrow 30.000" + steps,                   // steps after the end of the run
      "cutoffnarrow 40.250 3.0" + steps.substr(6),     // steps out of order
      "cutoffnarrow 40.250 -1.125" + steps.substr(6),  // before the start
      "cutoffnarrow forty" + steps,                    // not a number
      "nosuchprogram 40.250" + steps,
      "",
  };
  for (const std::string& line : bad) EXPECT_TRUE(study::parse_timings(line).empty()) << line;
  // A bad line spoils only itself; CR LF line ends read as well.
  EXPECT_EQ(study::parse_timings(bad[0] + "\r\n" + good + "\r\n" + bad[2] + "\n").size(), 1u);
}

TEST(EarlierRuns, TheNewestRunOfEachProgramIsFoundAndTheStudysOwnFolderLeftOut) {
  test_support::ScratchDirectory scratch;
  const auto timings = [&](const std::string& folder, const std::string& program, double whole, int hours_ago) {
    const analysis::SuiteProgram& suite_program = program_named(program);
    study::Timeline run{whole, {0.0}};
    for (int s = 1; s <= suite_program.progress_steps; ++s)
      run.at_step.push_back(whole * s / (suite_program.progress_steps + 1));
    const fs::path file = scratch.path() / "results" / folder / study::run_files::kTimingsFile;
    fs::create_directories(file.parent_path());
    const std::string before = fs::exists(file) ? test_support::read_file(file) : std::string();
    study_tests::write_text(file, before + study::timings_text({{program, run}}));
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(hours_ago));
  };
  timings("older", "tallygrid", 10, 3);
  timings("older", "cutoffwide", 20, 3);
  timings("newer", "tallygrid", 11, 2);
  timings("own", "tallygrid", 12, 1);
  fs::create_directories(scratch.path() / "results" / "compare-folder");
  study_tests::write_text(scratch.path() / "results" / "stray-file", "tallygrid 1 2 3");

  const study::Timelines found = study::earlier_timings(scratch.path() / "results", scratch.path() / "results" / "own");
  ASSERT_EQ(found.size(), 2u);
  EXPECT_DOUBLE_EQ(found.at("tallygrid").whole, 11);
  EXPECT_DOUBLE_EQ(found.at("cutoffwide").whole, 20);
  EXPECT_TRUE(study::earlier_timings(scratch.path() / "no-results", {}).empty());
}

using study_tests::ChildProcess;

class EarlierStudy : public study_tests::StudyWithStandIns {};

std::int64_t some_time(std::size_t row, std::size_t column) { return static_cast<std::int64_t>(row + column + 1); }

TEST_F(EarlierStudy, LeavesTheTimesOfItsRunsSoTheNextStudyKnowsEveryProgramFromTheStart) {
  fake_with_results("smallfive", 19, "%d", fixtures::small_arrays_file(smallarrays::kSmallfive, some_time));
  fake_with_results("cutoffnarrow", 35, "1 %d", fixtures::cutoffnarrow_file(some_time, some_time));
  ChildProcess first(study_arguments({"smallfive", "cutoffnarrow"}), scratch.path());
  EXPECT_EQ(first.finish(), 0) << first.output();
  // While smallfive ran, only the cost model told what cutoffnarrow would
  // take, at smallfive's pace, and the line says how far that may stray.
  EXPECT_NE(first.output().find(" left (\u00b1"), std::string::npos) << first.output();
  // cutoffnarrow's own line too, before its first step: the model, not "at least".
  EXPECT_NE(first.output().find("   0/35   0:00.0  about "), std::string::npos) << first.output();
  const fs::path earlier = run_folder();
  const study::Timelines kept = study::parse_timings(test_support::read_file(earlier / study::run_files::kTimingsFile));
  EXPECT_EQ(kept.size(), 2u);

  fs::rename(earlier, scratch.path() / "earlier");
  fs::create_directories(results());
  fs::rename(scratch.path() / "earlier", results() / "earlier");
  ChildProcess second(study_arguments({"smallfive", "cutoffnarrow"}), scratch.path());
  EXPECT_EQ(second.finish(), 0) << second.output();
  EXPECT_EQ(second.output().find("at least"), std::string::npos) << second.output();
  EXPECT_EQ(second.output().find("\u00b1"), std::string::npos) << second.output();
  // From the very first line, before any step is done.
  EXPECT_NE(second.output().find("   0/19   0:00.0  about "), std::string::npos) << second.output();
}

TEST_F(EarlierStudy, ALaterRepeatOfTheRunningProgramIsKnownFromItsFirstSteps) {
  fake_with_results("smallfive", 19, "%d", fixtures::small_arrays_file(smallarrays::kSmallfive, some_time));
  ChildProcess study(study_arguments({"--repeat", "2", "smallfive"}), scratch.path());
  EXPECT_EQ(study.finish(), 0) << study.output();
  EXPECT_NE(study.output().find("repeat 1/2, about "), std::string::npos) << study.output();
  EXPECT_EQ(study.output().find("at least"), std::string::npos) << study.output();
}

}  // namespace
