// Repeated studies on stand-ins that keep a precise record: the repeats'
// folders and order, the seeds that reach the programs, the exports and
// verdicts read from the records, and a failed repeat left out as
// incomplete. Also the estimate of the time left.
#include <fmt/format.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "analysis/programs/suite_programs.hpp"
#include "child_process.hpp"
#include "result_fixtures.hpp"
#include "stand_in_programs.hpp"
#include "study/estimate/step_costs.hpp"
#include "study/estimate/time_estimate.hpp"
#include "study/session/run_compare.hpp"
#include "support/test_support.hpp"

namespace {

using namespace fixtures;
using namespace study_tests;
namespace fs = std::filesystem;

class RepeatedStudy : public StudyWithStandIns {
 protected:
  void SetUp() override {
    StudyWithStandIns::SetUp();
    fake_recording(program_named("smallfive"), small_arrays_file(smallarrays::kSmallfive, hundredths), nanoseconds);
    // The second repeat of cutoffnarrow dies before its record is complete.
    fake_recording(program_named("cutoffnarrow"), cutoffnarrow_file(hundredths, hundredths), nanoseconds,
                   "if-seed 12 record cutoffnarrow.record 3\nif-seed 12 exit 3");
  }

  // A stand-in tallyduel whose counting sort takes 1.1 times the quicksort's
  // time on every input, the same in every run: a difference that one run
  // cannot tell from the noise, and a few runs can.
  void fake_close_duel(const std::string& before = "") {
    const analysis::SuiteProgram& duel = program_named("tallyduel");
    write_text(
        bin() / "close.record", program_record(duel, "@SEED@", [](std::size_t table, std::size_t row, std::size_t) {
          const std::int64_t ns = static_cast<std::int64_t>((row + 1) * 100'000'000 * (table == 0 ? 10 : 11) / 10);
          return RecordedCell{ns / 10'000'000, ns};
        }));
    fake_with_results(
        "tallyduel", duel.progress_steps, "%d",
        tallyduel_file(tallyduel_blocks([](std::size_t i) { return static_cast<std::int64_t>(i + 1) * 10; },
                                        [](std::size_t i) { return static_cast<std::int64_t>(i + 1) * 11; })),
        before + "\nrecord close.record");
  }
};

TEST_F(RepeatedStudy, InterleavesRepeatsGivesEachItsSeedAndExportsOnlyCompleteRuns) {
  ChildProcess study(study_arguments({"--repeat", "2", "--seeds", "11,12", "smallfive", "cutoffnarrow"}),
                     scratch.path());
  EXPECT_EQ(study.finish(), 1);
  const std::string& output = study.output();
  const std::size_t first = output.find("smallfive     [");
  const std::size_t second = output.find("cutoffnarrow  [", first);
  const std::size_t third = output.find("repeat 2/2", second);
  EXPECT_TRUE(first != std::string::npos && second != std::string::npos && third != std::string::npos) << output;
  EXPECT_NE(output.find("left"), std::string::npos) << output;

  const fs::path run = run_folder();
  EXPECT_EQ(recorded_seed(run / "smallfive" / "repeat-1" / "record.csv"), "11");
  EXPECT_EQ(recorded_seed(run / "smallfive" / "repeat-2" / "record.csv"), "12");
  EXPECT_EQ(recorded_seed(run / "cutoffnarrow" / "repeat-1" / "record.csv"), "11");
  EXPECT_TRUE(fs::exists(run / "smallfive" / "repeat-2" / "vystup-time-per-array.svg"));

  const nlohmann::json results = nlohmann::json::parse(test_support::read_file(run / "results.json"));
  std::size_t iterations = 0, medians = 0;
  for (const nlohmann::json& benchmark : results["benchmarks"]) {
    const std::string name = benchmark["name"];
    EXPECT_EQ(name.find("cutoffnarrow") != std::string::npos && benchmark["run_type"] == "aggregate", false) << name;
    if (benchmark["run_type"] == "iteration") ++iterations;
    if (benchmark.value("aggregate_name", "") == "median") ++medians;
  }
  const std::size_t small_cells =
      smallarrays::kSmallfive.lengths.size() * program_named("smallfive").column_labels().size();
  const std::size_t cutoff_cells = 2 * cutoff::kCutoffnarrow.lengths.size() * cutoff::kCutoffnarrow.cutoffs;
  EXPECT_EQ(iterations, 2 * small_cells + cutoff_cells);  // the failed repeat is no entry
  EXPECT_EQ(medians, small_cells);
  EXPECT_NE(results["context"].dump().find("cutoffnarrow"), std::string::npos);  // listed as incomplete

  const std::string csv = test_support::read_file(run / "results.csv");
  EXPECT_EQ(csv.substr(0, csv.find('\n')),
            "program,table,row,column,repeat,seed,hundredths,nanoseconds,cpu_nanoseconds,involuntary_switches,"
            "migrations,cycles,instructions,branch_misses,cache_misses");
  EXPECT_EQ(static_cast<std::size_t>(std::count(csv.begin(), csv.end(), '\n')), 1 + 2 * small_cells + cutoff_cells);

  const std::string summary = test_support::read_file(run / "summary.txt");
  EXPECT_NE(summary.find("smallfive: Which sort is fastest at each length?\n  N = 2 runs;"), std::string::npos)
      << summary;
  EXPECT_NE(summary.find("cutoffnarrow: Does the insertion-sort cutoff pay, and which cutoff is best?\n  N = 1 run;"),
            std::string::npos)
      << summary;
  EXPECT_NE(summary.find("Incomplete and left out: run 2 (seed 12"), std::string::npos) << summary;
  EXPECT_NE(summary.find("cutoffnarrow repeat 2  3"), std::string::npos) << summary;
  const std::string index = test_support::read_file(run / "index.html");
  EXPECT_NE(index.find("<h2>Answers</h2>"), std::string::npos);
  EXPECT_NE(index.find("<img src=\"smallfive/repeat-2/vystup-time-per-array.svg\""), std::string::npos);
  const std::size_t answer = index.find("<p>N = 2 runs;");
  EXPECT_NE(answer, std::string::npos);
  EXPECT_EQ(index.find("N = 2 runs;", answer + 4), std::string::npos);  // once, not in the summary too
  EXPECT_EQ(index.find("<pre>program "), std::string::npos) << "the summary table shows once";

  // The medians of the two complete runs are charted with their intervals;
  // cutoffnarrow, with one complete run, gets no such chart.
  const std::string median_chart = test_support::read_file(run / "smallfive" / "median-time-per-array.svg");
  EXPECT_NE(median_chart.find("medians of 2 runs"), std::string::npos);
  EXPECT_NE(median_chart.find("class=\"interval\""), std::string::npos);
  EXPECT_NE(index.find("<img src=\"smallfive/median-time-per-array.svg\""), std::string::npos);
  EXPECT_FALSE(fs::exists(run / "cutoffnarrow" / "median-cutoff-ratio.svg"));
}

TEST_F(RepeatedStudy, ReplayReusesTheRecordedSeedsOfEveryProgramAndRepeat) {
  ChildProcess first(study_arguments({"--repeat", "2", "smallfive"}), scratch.path());
  EXPECT_EQ(first.finish(), 0) << first.output();
  const fs::path original = run_folder();
  fs::rename(original, scratch.path() / "original");
  const fs::path replayed_from = scratch.path() / "original";
  ChildProcess replay(study_arguments({"--replay", replayed_from.string(), "smallfive"}), scratch.path());
  EXPECT_EQ(replay.finish(), 0) << replay.output();
  const fs::path run = run_folder();
  for (const char* repeat : {"repeat-1", "repeat-2"}) {
    EXPECT_EQ(recorded_seed(run / "smallfive" / repeat / "record.csv"),
              recorded_seed(replayed_from / "smallfive" / repeat / "record.csv"));
  }

  // A single run keeps its folder as before; replaying a program never recorded is refused.
  ChildProcess single(study_arguments({"--seeds", "77", "smallfive"}), scratch.path());
  EXPECT_EQ(single.finish(), 0) << single.output();
  std::string output;
  EXPECT_EQ(run_tool(study_arguments({"--replay", replayed_from.string(), "cutoffnarrow"}), scratch.path(), output), 1);
  EXPECT_NE(output.find("holds no record of cutoffnarrow"), std::string::npos) << output;
  const auto folders = [&] { return std::distance(fs::directory_iterator(results()), fs::directory_iterator()); };
  EXPECT_EQ(folders(), 2);  // the refusal made no run folder
  EXPECT_EQ(run_tool(study_arguments({"--repeat", "3", "--seeds", "1,2"}), scratch.path(), output), 2);
  EXPECT_NE(output.find("--seeds gives 2 seeds for 3 repeats"), std::string::npos) << output;
}

std::int64_t slower_nanoseconds(std::size_t row, std::size_t column) { return nanoseconds(row, column) * 11 / 10; }

TEST_F(RepeatedStudy, CompareSummarisesTwoRunsOnTheSameSeedsAndRefusesDifferentPrograms) {
  const fs::path a = scratch.path() / "a", b = scratch.path() / "b";
  const auto study_into = [&](const fs::path& folder, std::vector<std::string> extra) {
    std::string output;
    EXPECT_EQ(run_tool(study_arguments(std::move(extra)), scratch.path(), output), 0) << output;
    fs::rename(run_folder(), folder);
  };
  study_into(a, {"--seeds", "11,12,13", "smallfive"});
  fake_recording(program_named("smallfive"), small_arrays_file(smallarrays::kSmallfive, hundredths),
                 slower_nanoseconds);
  study_into(b, {"--replay", a.string(), "smallfive"});

  ChildProcess compare({built(STUDY_PATH), "compare", a.string(), b.string(), "--results", results().string()},
                       scratch.path());
  EXPECT_EQ(compare.finish(), 0) << compare.output();
  const fs::path folder = run_folder();
  EXPECT_EQ(folder.filename().string().rfind("compare-", 0), 0u) << folder;
  const std::string summary = test_support::read_file(folder / "summary.txt");
  EXPECT_NE(summary.find("smallfive: B is 10.0 % slower on"), std::string::npos) << summary;
  EXPECT_NE(summary.find("N = 3 and 3, paired by seed."), std::string::npos) << summary;
  EXPECT_NE(compare.output().find(summary), std::string::npos);
  EXPECT_NE(test_support::read_file(folder / "smallfive-ratio.svg").find("data-cell="), std::string::npos);
  EXPECT_NE(test_support::read_file(folder / "context.txt").find("  version"), std::string::npos);
  const std::string contexts = study::contexts_side_by_side({{"compiler", "GNU 12"}, {"flags", "-O2"}},
                                                            {{"compiler", "Clang 14"}, {"flags", "-O2"}});
  EXPECT_NE(contexts.find("* compiler  GNU 12  Clang 14\n"), std::string::npos) << contexts;
  EXPECT_NE(contexts.find("  flags     -O2     -O2\n"), std::string::npos) << contexts;

  fs::remove_all(folder);
  std::string output;
  fake_recording(program_named("cutoffnarrow"), cutoffnarrow_file(hundredths, hundredths), nanoseconds);
  const fs::path cutoff = scratch.path() / "cutoff";
  study_into(cutoff, {"--seeds", "11", "cutoffnarrow"});
  EXPECT_EQ(run_tool({built(STUDY_PATH), "compare", a.string(), cutoff.string(), "--results", results().string()},
                     scratch.path(), output),
            1);
  EXPECT_NE(output.find("study: cannot compare " + a.string() + " with " + cutoff.string()), std::string::npos)
      << output;
}

// The noise calibration is kept in the run's context and read back into
// its decisions: a spread above the prior widens the one-run model and the
// basis says so. A folder without the line (calibration off, as in every
// study before it) keeps the prior, replays and compares as before.
TEST_F(RepeatedStudy, TheNoiseCalibrationIsKeptWithTheRunAndWidensItsOneRunModel) {
  fake_close_duel();
  const auto study_into = [&](const fs::path& folder, std::vector<std::string> extra) {
    std::string output;
    EXPECT_EQ(run_tool(study_arguments(std::move(extra)), scratch.path(), output), 0) << output;
    fs::rename(run_folder(), folder);
  };
  const fs::path before = scratch.path() / "before", noisy = scratch.path() / "noisy";
  study_into(before, {"--seeds", "11", "tallyduel"});
  test_support::set_environment("SORTBENCH_NOISE_CALIBRATION", "0.25");
  study_into(noisy, {"--replay", before.string(), "tallyduel"});

  const std::string line = "noise calibration: 25.0 % per cell (stated by SORTBENCH_NOISE_CALIBRATION)\n";
  EXPECT_NE(test_support::read_file(noisy / "context.txt").find(line), std::string::npos);
  EXPECT_EQ(test_support::read_file(before / "context.txt").find("noise calibration"), std::string::npos);
  const std::string basis = "N = 1 run; differences decided at 95 % from a noise model, ";
  const std::string summary = test_support::read_file(noisy / "summary.txt");
  EXPECT_NE(
      notes_unwrapped(summary).find(basis + "this machine's run-to-run spread of 25.0 % per cell, calibrated, above "
                                            "the stated prior of 9 %."),
      std::string::npos)
      << summary;
  std::istringstream lines(summary);
  for (std::string text; std::getline(lines, text);) EXPECT_LE(text.size(), 120u) << text;
  EXPECT_NE(notes_unwrapped(test_support::read_file(before / "summary.txt"))
                .find(basis + "the suite's run-to-run spread of 9 % per cell, a stated prior."),
            std::string::npos);

  std::string output;
  EXPECT_EQ(run_tool({built(STUDY_PATH), "compare", before.string(), noisy.string(), "--results", results().string()},
                     scratch.path(), output),
            0)
      << output;
  const std::string contexts = test_support::read_file(run_folder() / "context.txt");
  EXPECT_NE(contexts.find("* noise calibration"), std::string::npos) << contexts;
}

TEST_F(RepeatedStudy, UntilDecidedRepeatsOnlyWhatIsUndecidedAndSaysWhenItStops) {
  fake_close_duel();
  ChildProcess study(study_arguments({"--until-decided", "tallyduel", "cutoffnarrow"}), scratch.path());
  EXPECT_EQ(study.finish(), 0) << study.output();
  const fs::path run = run_folder();
  // The cutoff program's verdict is decided by its first run.
  EXPECT_TRUE(fs::exists(run / "cutoffnarrow" / "repeat-1" / "record.csv"));
  EXPECT_FALSE(fs::exists(run / "cutoffnarrow" / "repeat-2"));
  // The duel's 10 % takes rounds; each spends a share of the error rate.
  int rounds = 0;
  while (fs::exists(run / "tallyduel" / ("repeat-" + std::to_string(rounds + 1)))) ++rounds;
  EXPECT_GE(rounds, 3);
  EXPECT_LE(rounds, 8);
  EXPECT_NE(study.output().find("study: round 2, for what is still undecided: tallyduel"), std::string::npos)
      << study.output();
  const std::string summary = test_support::read_file(run / "summary.txt");
  EXPECT_NE(summary.find(fmt::format("until decided: after {} rounds, every verdict is decided", rounds)),
            std::string::npos)
      << summary;
  EXPECT_NE(summary.find(fmt::format("N = {} runs; differences decided at", rounds)), std::string::npos) << summary;
  EXPECT_NE(summary.find(fmt::format("(look {} of a study run until decided)", rounds)), std::string::npos) << summary;
  EXPECT_NE(summary.find("Counting sort is faster on 0 of 9 inputs, quicksort on 9."), std::string::npos) << summary;
}

TEST_F(RepeatedStudy, UntilDecidedStopsBeforeARoundWouldPassTheBudget) {
  // Two seconds a run against a budget of five: two rounds, not three.
  fake_close_duel("sleep 2");
  std::string output;
  EXPECT_EQ(run_tool(study_arguments({"--until-decided", "--budget", "5s", "tallyduel"}), scratch.path(), output), 0)
      << output;
  const fs::path run = run_folder();
  EXPECT_TRUE(fs::exists(run / "tallyduel" / "repeat-2"));
  EXPECT_FALSE(fs::exists(run / "tallyduel" / "repeat-3"));
  const std::string summary = test_support::read_file(run / "summary.txt");
  EXPECT_NE(summary.find("until decided: after 2 rounds, another round (tallyduel) would pass the budget of 0:05.0"),
            std::string::npos)
      << summary;
  // The second look decides at 1 - 0.05 / 6, its decimals shown, not rounded away.
  EXPECT_NE(summary.find("differences decided at 99.17 % from"), std::string::npos) << summary;
  // What is still open says about how many runs would decide it.
  EXPECT_NE(summary.find("Still open, with about how many runs in all would decide each:\n    input 1: n = "),
            std::string::npos)
      << summary;
}

TEST(TimeEstimate, WeighsStepsByTheirCostAndLearnsFromTheLastRepeat) {
  const analysis::SuiteProgram& grid = program_named("tallygrid");
  const study::ProgramCost cost = study::program_cost(grid);
  const int half = grid.progress_steps / 2;
  // The longest arrays come last: half the steps are far less than half the work.
  EXPECT_LT(study::cost_share(cost, half), 0.2);
  EXPECT_DOUBLE_EQ(study::cost_share(cost, grid.progress_steps), 1.0);

  study::TimeEstimate estimate;
  EXPECT_FALSE(estimate.rest_of_run(grid, 0, 0.0));
  const double share = study::cost_share(cost, half);
  EXPECT_NEAR(*estimate.rest_of_run(grid, half, 10.0), 10.0 * (1 - share) / share, 1e-9);
  estimate.note_run(grid, 100.0);
  EXPECT_NEAR(*estimate.rest_of_run(grid, half, 100.0 * share), 100.0 * (1 - share), 1e-9);
  EXPECT_EQ(study::time_left_text(83, true), "at least 1:23.0 left");
  EXPECT_EQ(study::time_left_text(83, false, 50), "about 1:23.0 left (\u00b10:10.0)");

  // A repeat whose steps were seen is followed step by step: early in the
  // next run, at the same pace, what the last repeat still took from the
  // same step on, whatever the model suggests.
  estimate.start_run();
  estimate.note_step(0, 0.0);
  estimate.note_step(half, 1.0);
  estimate.note_step(half, 1.5);  // a step seen again keeps its first time
  estimate.note_run(grid, 90.0);
  EXPECT_NEAR(*estimate.rest_of_run(grid, 0, 0.0), 90.0, 1e-9);
  estimate.start_run();
  EXPECT_NEAR(*estimate.rest_of_run(grid, half, 1.0), 89.0, 0.02 * 89.0);
}

}  // namespace
