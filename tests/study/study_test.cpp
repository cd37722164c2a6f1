// The study command end to end, on stand-ins for the suite's programs:
// folders, console logs, summary figures, failures carried through, the
// memory refusal, Ctrl-C, and the progress count itself, on hand-made lines
// and on the real drivers' own.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "analysis/programs/suite_programs.hpp"
#include "analysis/records/result_file.hpp"
#include "analysis/text/text_format.hpp"
#include "child_process.hpp"
#include "cutoff/cutoff_programs.hpp"
#include "quickvscount/file_duel_program.hpp"
#include "quickvscount/grid_duel.hpp"
#include "result_fixtures.hpp"
#include "scaled_driver.hpp"
#include "smallarrays/small_array_programs.hpp"
#include "stand_in_programs.hpp"
#include "study/os/program.hpp"
#include "study/run/progress_tracker.hpp"
#include "support/test_support.hpp"

namespace {

using namespace fixtures;
using namespace study_tests;
namespace fs = std::filesystem;

std::int64_t some_time(std::size_t row, std::size_t column) {
  return static_cast<std::int64_t>(row * 11 + column * 3 + 1);
}

using Study = StudyWithStandIns;

// The summary's status of a program the study had to kill.
#ifdef _WIN32
// Windows has no signals: the study ends it as Ctrl-Break would have.
constexpr std::string_view kKilledStatus = "exception 0xC000013A";
#else
constexpr std::string_view kKilledStatus = "signal 9";
#endif

TEST_F(Study, RunsEachProgramInItsFolderCarriesAFailureThroughAndSummarises) {
  const std::string six = small_arrays_file(smallarrays::kSmallsix, some_time);
  fake_with_results("smallsix", 16, "%d", six);
  fake("tallygrid",
       "print 1 1\\r\\n1 2\\r\\n\ntouch vystup.out\n"
       "print Runtime error 5 at $1A2B3C4D\\r\\n  tallygrid\\r\\n\\r\\n\nexit 5");
  // Like tallyduel, it waits for one line on standard input at the end.
  const std::string duel = tallyduel_file(tallyduel_blocks([](auto i) { return 10 + i; }, [](auto) { return 1; }));
  write_text(bin() / "tallyduel.results", duel);
  fake("tallyduel", "show tallyduel.results\nread-line\ncopy tallyduel.results vystup.out");

  ChildProcess study(study_arguments({"smallsix", "tallygrid", "tallyduel"}), scratch.path(), true);
  const int status = study.finish();
  const std::string& output = study.output();
  EXPECT_EQ(status, 1) << output;

  const fs::path run = run_folder();
  EXPECT_TRUE(fs::exists(run / "context.txt"));
  const std::string context = test_support::read_file(run / "context.txt");
  for (const char* key : {"date: ", "machine: ", "operating system: ", "compiler: GNU 12.2.0", "flags: -O2",
                          "build type: Release", "version: abc123", "programs: "}) {
    EXPECT_NE(context.find(key), std::string::npos) << key << "\n" << context;
  }
  std::string expected_console;
  for (int i = 1; i <= 16; ++i) expected_console += std::to_string(i) + "\r\n";
  EXPECT_EQ(test_support::read_file(run / "smallsix" / "console.txt"), expected_console);
  EXPECT_EQ(test_support::read_file(run / "smallsix" / "vystup.out"), six);
  EXPECT_TRUE(fs::exists(run / "smallsix" / "vystup-time-per-array.svg"));
  EXPECT_TRUE(fs::exists(run / "smallsix" / "vystup.csv"));
  EXPECT_EQ(test_support::read_file(run / "tallyduel" / "console.txt"), duel);
  EXPECT_TRUE(fs::exists(run / "tallyduel" / "vystup-duel.svg"));
  EXPECT_NE(test_support::read_file(run / "tallygrid" / "console.txt").find("Runtime error 5"), std::string::npos);
  EXPECT_FALSE(fs::exists(run / "cutoffwide"));

  EXPECT_NE(output.find(" 16/16 "), std::string::npos) << output;
  EXPECT_NE(output.find("  2/84 "), std::string::npos) << output;
  EXPECT_NE(output.find("FAILED: Runtime error 5 at $1A2B3C4D"), std::string::npos) << output;
  EXPECT_NE(output.find("  9/9 "), std::string::npos) << output;

  // The summary: status, wall time, memory, the sum of the cells and the overhead.
  const auto total = analysis::parse_result_file(six).result->total_hundredths();
  char cells[32];
  std::snprintf(cells, sizeof cells, "%lld.%02lld s", static_cast<long long>(total / 100),
                static_cast<long long>(total % 100));
  const std::string summary = test_support::read_file(run / "summary.txt");
  EXPECT_NE(output.find(summary), std::string::npos);
  const auto line_of = [&](const std::string& program) {
    const std::size_t at = summary.find("\n" + program + " ");
    return at == std::string::npos ? std::string() : summary.substr(at + 1, summary.find('\n', at + 1) - at - 1);
  };
  const std::string six_line = line_of("smallsix");
  EXPECT_NE(six_line.find(" 0 "), std::string::npos) << summary;
  EXPECT_TRUE(six_line.find(" MB ") != std::string::npos ||
              (peaks_may_be_unknown() && six_line.find(" unknown ") != std::string::npos))
      << summary;
  EXPECT_NE(six_line.find(cells), std::string::npos) << cells << "\n" << summary;
  EXPECT_NE(six_line.find("%)"), std::string::npos) << summary;
  EXPECT_NE(line_of("tallygrid").find(" 5 "), std::string::npos) << summary;
  EXPECT_NE(line_of("tallyduel").find("1.35 s"), std::string::npos) << summary;  // 10..18 and nine 1s
  EXPECT_NE(summary.find("tallygrid: Runtime error 5 at $1A2B3C4D"), std::string::npos) << summary;

  const std::string index = test_support::read_file(run / "index.html");
  EXPECT_NE(index.find("<img src=\"smallsix/vystup-time-per-array.svg\""), std::string::npos);
  EXPECT_NE(index.find("<img src=\"tallyduel/vystup-duel.svg\""), std::string::npos);
  EXPECT_NE(index.find("Runtime error 5 at $1A2B3C4D"), std::string::npos);
  EXPECT_NE(index.find("version</th><td>abc123"), std::string::npos);
  EXPECT_EQ(index.find("Warning"), std::string::npos);
}

TEST_F(Study, FindsTheProgramsOfARelativeBinFolder) {
  fake_with_results("tallygrid", 84, "%d", tallygrid_file(some_time, some_time));
  ChildProcess study({built(STUDY_PATH), "--bin", "bin", "--results", "results", "tallygrid"}, scratch.path(), false);
  EXPECT_EQ(study.finish(), 0) << study.output();
  EXPECT_TRUE(fs::exists(run_folder() / "tallygrid" / "vystup-ratio-heatmap.svg")) << study.output();
}

TEST_F(Study, RefusesAProgramThatCannotFitAndNamesBothFigures) {
  fake("smallsix", "touch started");
  fake_with_results("cutoffnarrow", 35, "1 %d", cutoffnarrow_file(some_time, some_time));
  ChildProcess study(study_arguments({"--memory-limit", "500M", "smallsix", "cutoffnarrow"}), scratch.path());
  EXPECT_EQ(study.finish(), 1);
  const std::string& output = study.output();
  const std::int64_t arrays = analysis::kSuitePrograms[0].array_bytes;
  EXPECT_NE(output.find("smallsix      REFUSED: not started: it needs " +
                        analysis::megabytes(arrays + analysis::kProgramOverheadBytes) + " (" +
                        analysis::with_thousands(arrays) + " bytes of arrays"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("but only 500.0 MB are available (--memory-limit)"), std::string::npos) << output;
  EXPECT_NE(output.find("cutoffnarrow  [########################]  35/35"), std::string::npos) << output;
  EXPECT_FALSE(fs::exists(run_folder() / "smallsix"));
  EXPECT_TRUE(fs::exists(run_folder() / "cutoffnarrow" / "vystup-cutoff-ratio.svg"));
}

TEST_F(Study, CtrlCStopsTheRunningProgramAndSaysWhichResultsAreComplete) {
  fake_with_results("smallfive", 19, "%d", small_arrays_file(smallarrays::kSmallfive, some_time));
  fake("smallsix", "print 1\\r\\n\ntouch vystup.out\nsleep 60");
  ChildProcess study(study_arguments({"smallfive", "smallsix", "cutoffwide"}), scratch.path());
  ASSERT_TRUE(study.read_until("  1/16 ")) << study.output();
  study.press_ctrl_c();
  EXPECT_EQ(study.finish(), 130);
  const std::string& output = study.output();
  EXPECT_NE(output.find("Complete results: smallfive. Stopped: smallsix. Not started: cutoffwide."), std::string::npos)
      << output;
  EXPECT_NE(output.find("STOPPED"), std::string::npos) << output;
  const fs::path run = run_folder();
  EXPECT_EQ(test_support::read_file(run / "smallsix" / "console.txt"), "1\r\n");
  EXPECT_TRUE(fs::exists(run / "smallfive" / "vystup-time-per-array.svg"));
  EXPECT_FALSE(fs::exists(run / "cutoffwide"));
  EXPECT_NE(test_support::read_file(run / "index.html").find("stopped with Ctrl-C"), std::string::npos);
}

TEST_F(Study, ASecondCtrlCKillsAProgramThatIgnoresTheFirst) {
  fake("smallsix", "ignore-interrupts\nprint 1\\r\\n\ntouch vystup.out\nsleep 60");
  ChildProcess study(study_arguments({"smallsix", "cutoffwide"}), scratch.path());
  ASSERT_TRUE(study.read_until("  1/16 ")) << study.output();
  study.press_ctrl_c();
  // The program lives on: the study waits, and says nothing yet.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  study.press_ctrl_c();
  EXPECT_EQ(study.finish(), 130);
  const std::string& output = study.output();
  EXPECT_NE(output.find("STOPPED"), std::string::npos) << output;
  EXPECT_NE(output.find("Stopped: smallsix. Not started: cutoffwide."), std::string::npos) << output;
  const std::string summary = test_support::read_file(run_folder() / "summary.txt");
  EXPECT_NE(summary.find("\nsmallsix    " + std::string(kKilledStatus) + " "), std::string::npos) << summary;
}

#ifndef _WIN32
TEST_F(Study, NamesTheAddressSpaceLimitWhenItRefusesAProgram) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer needs more address space than the limit leaves";
#endif
  fake("smallsix", "touch started");
  std::vector<std::string> arguments{"/bin/sh", "-c", "ulimit -v 300000 && exec \"$0\" \"$@\""};
  for (const std::string& argument : study_arguments({"smallsix"})) arguments.push_back(argument);
  ChildProcess study(arguments, scratch.path());
  EXPECT_EQ(study.finish(), 1);
  const std::string& output = study.output();
  EXPECT_NE(output.find("but only 307.2 MB are available (the address-space limit (ulimit -v))"), std::string::npos)
      << output;
  EXPECT_FALSE(fs::exists(bin() / "started"));
}
#endif

TEST_F(Study, ReportsEachPeakMemoryOrThatTheSystemCannotTellIt) {
  fake_with_results("smallfive", 19, "%d", small_arrays_file(smallarrays::kSmallfive, some_time), "hold-memory 128");
  fake_with_results("smallsix", 16, "%d", small_arrays_file(smallarrays::kSmallsix, some_time));
  ChildProcess study(study_arguments({"smallfive", "smallsix"}), scratch.path());
  EXPECT_EQ(study.finish(), 0) << study.output();
  const std::string summary = test_support::read_file(run_folder() / "summary.txt");
  const auto memory_of = [&](const std::string& program) {
    const std::size_t at = summary.find("\n" + program + " ");
    const std::string line = summary.substr(at + 1, summary.find('\n', at + 1) - at - 1);
    return line.find(" MB ") != std::string::npos        ? std::string("MB")
           : line.find(" unknown ") != std::string::npos ? std::string("unknown")
                                                         : line;
  };
  const std::string footnote = "peak memory unknown: " + std::string(study::os::unknown_peak_reason());
  const std::string_view layer = STUDY_OS_LAYER;
  if (peaks_may_be_unknown()) {
    bool unknown = false;
    for (const char* program : {"smallfive", "smallsix"}) {
      const std::string memory = memory_of(program);
      EXPECT_TRUE(memory == "MB" || memory == "unknown") << summary;
      unknown = unknown || memory == "unknown";
    }
    EXPECT_EQ(notes_unwrapped(summary).find(footnote) != std::string::npos, unknown) << summary;
    return;
  }
  // The first program's peak is the largest so far, whatever the system.
  EXPECT_EQ(memory_of("smallfive"), "MB") << summary;
  if (layer == "posix") {
    EXPECT_EQ(memory_of("smallsix"), "unknown") << summary;
    EXPECT_NE(notes_unwrapped(summary).find(footnote), std::string::npos) << summary;
    EXPECT_NE(test_support::read_file(run_folder() / "index.html").find(">unknown</td>"), std::string::npos);
  } else {
    EXPECT_EQ(memory_of("smallsix"), "MB") << summary;
    EXPECT_EQ(summary.find("peak memory unknown"), std::string::npos) << summary;
  }
}

TEST_F(Study, WarnsBeforeStartingWhenTheProgramsWereNotOptimised) {
  write_text(bin() / "build-info.txt", "compiler: GNU 12.2.0\nflags: -O2 -O0 -g\nbuild type: Debug\nversion: x\n");
  fake_with_results("smallfive", 19, "%d", small_arrays_file(smallarrays::kSmallfive, some_time));
  ChildProcess study(study_arguments({"smallfive"}), scratch.path());
  EXPECT_EQ(study.finish(), 0);
  const std::string& output = study.output();
  const std::size_t warning = output.find("study: WARNING: the programs were built without optimisation");
  EXPECT_NE(warning, std::string::npos) << output;
  EXPECT_LT(warning, output.find("smallfive  "));
  EXPECT_NE(test_support::read_file(run_folder() / "index.html").find("Warning: the programs were built without"),
            std::string::npos);
}

TEST_F(Study, RejectsUnknownProgramsAndMissingOnesAreReported) {
  std::string output;
  EXPECT_EQ(run_tool(study_arguments({"smallseven"}), scratch.path(), output), 2);
  EXPECT_NE(output.find("no program \"smallseven\" in the suite"), std::string::npos) << output;
  EXPECT_FALSE(fs::exists(results()));

  EXPECT_EQ(run_tool(study_arguments({"tallygrid"}), scratch.path(), output), 1);
  EXPECT_NE(output.find("MISSING: no executable"), std::string::npos) << output;
}

TEST(ProgressTracker, CountsOnlyEachProgramsOwnProgressLinesAcrossPieces) {
  study::ProgressTracker grid(analysis::ProgramFamily::grid_duel);
  for (const char* piece : {"1 1\r", "\n1 ", "2\r\n12 7\r\nVysledky pre Quicksort:\r\n\r\n",
                            "  n  \\  k |    10    |\r\n     10000| 00:00.01 |\r\n"}) {
    grid.feed(piece);
  }
  EXPECT_EQ(grid.steps(), 3);

  study::ProgressTracker lengths(analysis::ProgramFamily::small_arrays);
  lengths.feed("1\r\n2\r\n3\r\nRuntime error 103 at $0000ABCD\r\n  smallsix\r\n\r\n");
  EXPECT_EQ(lengths.steps(), 3);
  EXPECT_EQ(lengths.runtime_error(), "Runtime error 103 at $0000ABCD");

  study::ProgressTracker blocks(analysis::ProgramFamily::file_duel);
  blocks.feed(tallyduel_file(tallyduel_blocks([](auto) { return 1; }, [](auto) { return 2; })).substr(0, 215));
  EXPECT_EQ(blocks.steps(), 2);
}

// What each real driver prints, counted as the study counts it, is as many
// steps as the study expects of that program.
class DriverProgress : public ScaledDriver {
 protected:
  template <class Program>
  void expect_counted(const Program& program, const DriverRun& run) {
    study::ProgressTracker tracker(analysis::describe(program).family);
    tracker.feed(run.console);
    EXPECT_EQ(tracker.steps(), analysis::describe(program).progress_steps) << run.console;
  }
};

TEST_F(DriverProgress, EachDriversProgressLinesAreTheStepsTheStudyExpects) {
  const smallarrays::SmallArrayProgram small = scaled_small_arrays();
  expect_counted(small, run([&](const kit::Instruments& i) { smallarrays::run_small_array_benchmark(small, i); }));
  const quickvscount::GridDuelProgram grid = scaled_grid_duel();
  expect_counted(grid, run([&](const kit::Instruments& i) { quickvscount::run_grid_duel(grid, i); }));
  const cutoff::CutoffProgram sweep = scaled_cutoff_sweep();
  expect_counted(sweep, run([&](const kit::Instruments& i) { cutoff::run_cutoff_sweep(sweep, i); }));
  const quickvscount::FileDuelProgram duel = scaled_file_duel();
  expect_counted(duel, run([&](const kit::Instruments& i) { quickvscount::run_file_duel(duel, i); }));
}

}  // namespace
