// study compare-builds on two folders of stand-ins: the order the builds
// run in, the seed both share in a round, and what the paired comparison
// makes of a build slowed by a known factor and of two identical builds.
#include <gtest/gtest.h>

#include "analysis/programs/suite_programs.hpp"
#include "analysis/statistics/run_comparison.hpp"
#include "child_process.hpp"
#include "result_fixtures.hpp"
#include "stand_in_programs.hpp"
#include "support/test_support.hpp"

namespace {

using namespace fixtures;
using namespace study_tests;
namespace fs = std::filesystem;

class CompareBuilds : public StudyWithStandIns {
 protected:
  fs::path bin_b() const { return scratch.path() / "bin-b"; }

  // tallyduel in `folder`, whose times on seed s are the base times times
  // drift[s] (the machine's pace in that round), its quicksort's also
  // times `quick_factor`.
  void fake_drifting_duel(const fs::path& folder, const std::vector<std::pair<int, double>>& drift,
                          double quick_factor) {
    const analysis::SuiteProgram& duel = program_named("tallyduel");
    std::string script =
        "count " + std::to_string(duel.progress_steps) + " %d\\r\\n\ncopy tallyduel.results vystup.out";
    for (const auto& [seed, pace] : drift) {
      const std::string name = "tallyduel-" + std::to_string(seed) + ".record";
      write_text(folder / name, program_record(duel, "@SEED@", [&](std::size_t table, std::size_t row, std::size_t) {
                   const double ns =
                       static_cast<double>((row + 1) * 100'000'000) * pace * (table == 0 ? quick_factor : 1);
                   return RecordedCell{static_cast<std::int64_t>(ns / 1e7), static_cast<std::int64_t>(ns)};
                 }));
      script += "\nif-seed " + std::to_string(seed) + " record " + name;
    }
    write_text(folder / "tallyduel.script", script + "\n");
  }

  std::string compare_builds(std::vector<std::string> extra, int expected_status = 0) {
    std::vector<std::string> arguments{built(STUDY_PATH), "compare-builds", bin().string(),
                                       bin_b().string(),  "--results",      results().string()};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    std::string output;
    EXPECT_EQ(run_tool(arguments, scratch.path(), output), expected_status) << output;
    return output;
  }
};

TEST_F(CompareBuilds, RunsTheBuildsInTurnOnOneSeedPerRoundAndFindsIdenticalBuildsUnchanged) {
  fake_recording(program_named("tallyduel"), program_file(program_named("tallyduel"), hundredths, hundredths),
                 nanoseconds);
  fake_recording(program_named("cutoffnarrow"), cutoffnarrow_file(hundredths, hundredths), nanoseconds);
  fs::copy(bin(), bin_b());
  const std::string output = compare_builds({"--rounds", "2", "tallyduel", "cutoffnarrow"});

  // A B for each program, round after round, as the runs started.
  std::string order;
  for (std::size_t at = output.find("build "); at != std::string::npos; at = output.find("build ", at + 1)) {
    // "build A, round 1 of 2, seed 123:\n  tallyduel ..."
    const std::size_t program = output.find(":\n  ", at);
    if (output.compare(at + 7, 8, ", round ") != 0 || program == std::string::npos) continue;
    const std::size_t name = program + 4;
    order += output.substr(name, output.find(' ', name) - name) + " " + output[at + 6] + output[at + 15] + ", ";
  }
  EXPECT_EQ(order,
            "tallyduel A1, tallyduel B1, cutoffnarrow A1, cutoffnarrow B1, "
            "tallyduel A2, tallyduel B2, cutoffnarrow A2, cutoffnarrow B2, ")
      << output;

  const fs::path run = run_folder();
  EXPECT_EQ(run.filename().string().rfind("builds-", 0), 0u) << run;
  for (const char* program : {"tallyduel", "cutoffnarrow"}) {
    std::vector<std::string> seeds;
    for (const char* round : {"repeat-1", "repeat-2"}) {
      const std::string a = recorded_seed(run / "A" / program / round / "record.csv");
      EXPECT_EQ(a, recorded_seed(run / "B" / program / round / "record.csv")) << program << " " << round;
      seeds.push_back(a);
    }
    EXPECT_NE(seeds[0], seeds[1]) << "each round draws data of its own";
  }
  // Each build's runs are a study of their own.
  EXPECT_NE(test_support::read_file(run / "B" / "summary.txt").find("Answers"), std::string::npos);

  const std::string written = test_support::read_file(run / "summary.txt");
  EXPECT_NE(output.find(written), std::string::npos) << "the console gets the summary";
  const std::string summary = notes_unwrapped(written);
  EXPECT_NE(summary.find("tallyduel: no change on QSORT (B/A 0."), std::string::npos) << summary;
  EXPECT_NE(summary.find("; no change on CSORT (B/A 0."), std::string::npos) << summary;
  EXPECT_NE(summary.find("cutoffnarrow: no change on REKQSORT"), std::string::npos) << summary;
  EXPECT_NE(summary.find("2 and 2 runs, A and B in turn, paired by round."), std::string::npos) << summary;
  EXPECT_TRUE(fs::exists(run / "tallyduel-ratio.svg"));
  EXPECT_NE(test_support::read_file(run / "context.txt").find("  version"), std::string::npos);

  // A build folder that is not there is refused before any run folder is made.
  fs::remove_all(bin_b());
  EXPECT_NE(compare_builds({"tallyduel"}, 1).find("no folder of programs " + bin_b().string()), std::string::npos);
  EXPECT_EQ(std::distance(fs::directory_iterator(results()), fs::directory_iterator()), 1);
}

TEST_F(CompareBuilds, FindsTheSlowerBuildThroughTheMachinesDriftBetweenRounds) {
  // The machine's pace swings by more than the builds differ; B's quicksort
  // is 25 % slower in every round, its counting sort unchanged.
  const std::vector<std::pair<int, double>> drift{{11, 1.0}, {12, 1.3}, {13, 0.8}};
  fake_with_results("tallyduel", 1, "%d", program_file(program_named("tallyduel"), hundredths, hundredths));
  fs::copy(bin(), bin_b());
  fake_drifting_duel(bin(), drift, 1.0);
  fake_drifting_duel(bin_b(), drift, 1.25);
  compare_builds({"--seeds", "11,12,13", "tallyduel"});

  const std::string summary = notes_unwrapped(test_support::read_file(run_folder() / "summary.txt"));
  const std::string slower = "B is 25.0 % slower on QSORT, interval ";
  const std::size_t interval = summary.find(slower);
  ASSERT_NE(interval, std::string::npos) << summary;
  std::size_t low_length = 0;
  const double low = std::stod(summary.substr(interval + slower.size()), &low_length);
  const std::size_t high_at = summary.find(" to ", interval + slower.size());
  const double high = std::stod(summary.substr(high_at + 4));
  EXPECT_EQ(high_at, interval + slower.size() + low_length) << summary;
  EXPECT_GT(low, 0.0);
  EXPECT_LT(low, 25.0);
  EXPECT_GT(high, 25.0);
  EXPECT_NE(summary.find("no change on CSORT"), std::string::npos) << summary;
  EXPECT_NE(summary.find("3 and 3 runs, A and B in turn, paired by round."), std::string::npos) << summary;
}

// A round that one build did not complete, or ran on another seed, pairs
// with nothing: the kernel's ratio comes from the other rounds alone.
TEST(CompareRounds, LeavesOutTheRoundsThatDoNotPair) {
  // Per round its seed and the machine's pace; a round of `incomplete` never finished.
  const auto build = [](const std::vector<std::uint32_t>& seeds, const std::vector<double>& pace, int incomplete) {
    analysis::MeasurementSet set;
    for (int round = 1; round <= 4; ++round) {
      for (const std::int64_t length : {100, 200}) {
        const auto ns = static_cast<std::int64_t>(static_cast<double>(length) * 1e6 * pace[round - 1]);
        set.add(analysis::Measurement{"tallygrid", "Quicksort", std::to_string(length), "10", "QSORT", round,
                                      seeds[round - 1], ns / 10'000'000, ns, round != incomplete});
      }
    }
    return analysis::run_model(std::move(set));
  };
  // B is 10 % slower; its unfinished round 2 and its round 3 on another
  // seed are far off, as a disturbed run can be, and must pair with nothing.
  const analysis::RunModel a = build({11, 12, 13, 14}, {1.0, 1.0, 1.0, 0.7}, 0);
  const analysis::RunModel b = build({11, 12, 99, 14}, {1.1, 5.0, 5.0, 0.77}, 2);
  const analysis::ProgramComparison comparison = analysis::compare_rounds(a.programs[0], b.programs[0]);
  ASSERT_EQ(comparison.kernels.size(), 1u);
  EXPECT_NEAR(comparison.kernels[0].geometric_mean_ratio, 1.1, 1e-6);
  ASSERT_EQ(comparison.cells.size(), 2u);
  EXPECT_EQ(comparison.cells[0].ratio.numerator_count, 2u);  // rounds 1 and 4
  EXPECT_EQ(comparison.runs_b, 3u);
}

}  // namespace
