// The file-driven duel end to end: scaled down in a child process with a
// fixed seed and a fake clock, and once as the real tallyduel program.
#include "quickvscount/file_duel.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "kit/record/record_reader.hpp"
#include "kit/runtime_error.hpp"
#include "line_map_check.hpp"
#include "quickvscount/file_duel_program.hpp"
#include "support/kernel_record.hpp"
#include "support/run_program.hpp"
#include "support/runtime_error_report.hpp"
#include "support/sibling_program.hpp"
#include "support/test_support.hpp"

namespace {

using Lines = std::vector<std::string>;
using test_support::read_file;
using test_support::split_crlf_lines;

std::uint32_t fixed_seed() { return 99; }

// A counting-sort count on each side of the 1000-value line, the range at
// the last slot, and a range of 1.
constexpr std::array<std::int32_t, 4> kCounts{2000, 1000, 10, 1};
constexpr std::array<std::int32_t, 4> kRanges{10, 2500, 2500, 1};
constexpr quickvscount::FileDuelProgram kSmallDuel{
    .name = "smallduel", .last_slot = 2500, .inputs = {kCounts, kRanges}};

// Every timed batch lasts 1 hour, 2 minutes and 3.45 seconds on the fake
// clock, so every cell is the long form "01:02:03.45".
constexpr std::int32_t kBatchHundredths = 372345;

const Lines kSmallReport = {
    "Vstup c.1: pocet= 2000, rozsah= 10",   "Cas Quicksortu:    01:02:03.45", "Cas Countingsortu: 01:02:03.45", "",
    "Vstup c.2: pocet= 1000, rozsah= 2500", "Cas Quicksortu:    01:02:03.45", "Cas Countingsortu: 01:02:03.45", "",
    "Vstup c.3: pocet= 10, rozsah= 2500",   "Cas Quicksortu:    01:02:03.45", "Cas Countingsortu: 01:02:03.45", "",
    "Vstup c.4: pocet= 1, rozsah= 1",       "Cas Quicksortu:    01:02:03.45", "Cas Countingsortu: 01:02:03.45",
};

// `line` is `label` followed by a long time cell of a run under 100 hours, HH:MM:SS.CC.
bool is_cell_line(const std::string& line, const std::string& label) {
  if (line.size() != label.size() + 11 || !line.starts_with(label)) return false;
  const std::string_view cell = std::string_view(line).substr(label.size());
  for (std::size_t i = 0; i < cell.size(); ++i) {
    const char expected = i == 2 || i == 5 ? ':' : i == 8 ? '.' : '#';
    if (expected == '#' ? (cell[i] < '0' || cell[i] > '9') : cell[i] != expected) return false;
  }
  return true;
}

std::string joined_crlf(const Lines& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

// The program's own start: the process is prepared exactly as main does it.
void run_small_duel() {
  kit::prepare_process();
  quickvscount::run_file_duel(kSmallDuel, {.read_seed = fixed_seed, .read_clock = test_support::read_fake_clock});
}

class FileDuelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::use_utc();
    test_support::set_fake_clock(1700000000, kBatchHundredths);
  }
  test_support::ScratchDirectory scratch;
};

TEST_F(FileDuelTest, ReportsEveryInputOnTheConsoleAndInTheFile) {
  const auto result = test_support::run_in_child(run_small_duel);
  ASSERT_EQ(result.exit_status, 0) << result.output;
  const auto console = split_crlf_lines(result.output);
  ASSERT_TRUE(console.ok) << "console line " << console.first_bad_line;
  EXPECT_EQ(test_support::first_difference(console.lines, kSmallReport), "");
  EXPECT_EQ(read_file("vystup.out"), joined_crlf(kSmallReport)) << "same lines, no empty line at the end";
  // "vstup.in" stays in place after the run.
  const auto check = quickvscount_tests::check_line_map(read_file("vstup.in"), kCounts, kRanges);
  EXPECT_EQ(check.problem, "");
}

TEST_F(FileDuelTest, ClosedOrUnreadableStandardInputEndsTheWaitAndTheFilesStillClose) {
  test_support::ChildStreams closed;
  closed.close_standard_input = true;
  test_support::ChildStreams folder;
  folder.standard_input = ".";  // a folder: every read fails
  for (const auto& run : {closed, folder}) {
    const auto result = test_support::run_in_child(run_small_duel, run);
    EXPECT_EQ(result.exit_status, 0) << result.output;
    EXPECT_EQ(read_file("vystup.out"), joined_crlf(kSmallReport));
  }
}

TEST_F(FileDuelTest, TheFileIsCompletedOnlyAfterOneLineArrivesOnStandardInput) {
  test_support::ChildStreams streams;
  streams.standard_output = "console.txt";
  test_support::RunningChild child = test_support::start_in_child(run_small_duel, streams);
  const std::string report = joined_crlf(kSmallReport);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (read_file("console.txt") != report && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(read_file("console.txt"), report);
  EXPECT_EQ(child.wait_for(std::chrono::milliseconds(100)), std::nullopt) << "the program waits for a line";
  EXPECT_LT(read_file("vystup.out").size(), report.size()) << "the file's last block is still held";

  // One line ends the wait; the pipe stays open, so the end of input plays no part.
  ASSERT_TRUE(child.write_input("ok\nmore\n"));
  const auto ended = child.wait_for(std::chrono::duration_cast<std::chrono::milliseconds>(
      std::max(deadline - std::chrono::steady_clock::now(), std::chrono::steady_clock::duration{})));
  ASSERT_TRUE(ended.has_value()) << "the program went on waiting after a whole line";
  EXPECT_EQ(ended->exit_status, 0);
  EXPECT_EQ(read_file("vystup.out"), report);
}

// A run whose console refuses the first line ends with `error`, the file's
// buffered lines lost and "vstup.in" complete; both files go afterwards.
void expect_console_refused(const test_support::ChildStreams& console, int error) {
  SCOPED_TRACE("the console refusing with error " + std::to_string(error));
  const auto result = test_support::run_in_child(run_small_duel, console);
  EXPECT_EQ(result.exit_status, error);
  EXPECT_EQ(read_file("vystup.out"), "") << "the file's buffered lines are lost, none written out yet";
  EXPECT_EQ(quickvscount_tests::check_line_map(read_file("vstup.in"), kCounts, kRanges).problem, "");
  std::filesystem::remove("vystup.out");
  std::filesystem::remove("vstup.in");
}

TEST_F(FileDuelTest, FailuresStopTheRunWithTheErrorOfTheFailedOperation) {
#ifndef _WIN32  // Windows has no device that is always full.
  test_support::ChildStreams full_device;
  full_device.standard_output = "/dev/full";
  expect_console_refused(full_device, 28);
#endif
  test_support::ChildStreams closed_pipe;  // a pipe whose reader has gone
  closed_pipe.output_to_pipe_without_reader = true;
  expect_console_refused(closed_pipe, 32);
  {  // "vystup.out" cannot be created: a folder stands in its way.
    std::filesystem::create_directory("vystup.out");
    const auto result = test_support::run_in_child(run_small_duel);
    EXPECT_EQ(result.exit_status, 5);
    EXPECT_TRUE(test_support::is_runtime_error_report(result.output, 5, {"smallduel"})) << result.output;
    EXPECT_EQ(quickvscount_tests::check_line_map(read_file("vstup.in"), kCounts, kRanges).problem, "")
        << "the input file is written before the results file is created";
  }
}

// ---- the precise record and the chosen seed --------------------------------

// The small duel in a child process on the numbered clocks.
test_support::ProgramResult run_recorded_duel(const kit::Instruments& instruments) {
  return test_support::run_in_child([&instruments] {
    test_support::use_utc();
    test_support::reset_numbered_clock(20 * 360000);
    test_support::reset_numbered_precise_clock();
    kit::prepare_process();
    quickvscount::run_file_duel(kSmallDuel, instruments);
  });
}

std::uint32_t other_tick_count() { return 12345; }

TEST_F(FileDuelTest, TheRecordNamesEveryCellOfTheReportAndTheTickCountSeedAsSuch) {
  const auto result = run_recorded_duel({.read_seed = fixed_seed,
                                         .read_clock = test_support::read_numbered_clock,
                                         .read_precise_clock = test_support::read_numbered_precise_clock,
                                         .record = {.file = "record.csv", .program = "tallyduel"}});
  ASSERT_EQ(result.exit_status, 0) << result.output;
  // Quicksort, then counting sort, input by input.
  const test_support::CsvFile record = test_support::read_kernel_record(
      8,
      {std::string(quickvscount::kQuicksortTable), std::string(quickvscount::kCountingsortTable),
       quickvscount::kQuicksortKernel, quickvscount::kCountingsortKernel},
      test_support::duel_cells, kit::long_form::SPRACUJ);
  EXPECT_EQ(record.field(3, "row_label"), "1000");
  EXPECT_EQ(record.field(3, "column_label"), "2500");
  EXPECT_EQ(record.field(2, "kernel"), "QSORT");
  EXPECT_EQ(record.field(3, "kernel"), "CSORT");
  // Input I stands in row I and column I.
  EXPECT_EQ(record.field(3, "row_index"), "1");
  EXPECT_EQ(record.field(3, "column_index"), "1");
  for (std::size_t i = 0; i < record.rows.size(); ++i) {
    EXPECT_EQ(record.field(i, "seed"), "99");
    EXPECT_EQ(record.field(i, "seed_source"), "tick_count");
    EXPECT_EQ(record.field(i, "nanoseconds"), std::to_string(test_support::numbered_precise_nanoseconds(i)));
  }
}

#ifndef _WIN32
// On the real clocks and counters: each window holds the thread's CPU time,
// at most its time on the monotonic clock (the counters are read outside
// the clock readings, so a few system calls more), and its involuntary switches.
TEST_F(FileDuelTest, TheRecordHoldsEachWindowsCpuTimeWithinItsNanosecondsAndItsSwitches) {
  const auto result =
      run_recorded_duel({.read_seed = fixed_seed, .record = {.file = "record.csv", .program = "tallyduel"}});
  ASSERT_EQ(result.exit_status, 0) << result.output;
  const kit::record::Record record = kit::record::read_record(read_file("record.csv"), "record.csv");
  ASSERT_TRUE(record.has_evidence());
  ASSERT_EQ(record.rows.size(), 8u);
  constexpr std::int64_t kSlack = 200'000;  // the readings beside the window
  for (const kit::record::Row& row : record.rows) {
    ASSERT_TRUE(row.cpu_nanoseconds && row.involuntary_switches) << "window " << row.window;
    EXPECT_GT(*row.cpu_nanoseconds, 0) << "window " << row.window;
    EXPECT_LE(*row.cpu_nanoseconds, row.nanoseconds + kSlack) << "window " << row.window;
    EXPECT_GE(*row.involuntary_switches, 0);
    if (row.migrations) {
      EXPECT_GE(*row.migrations, 0);
    }
    if (row.instructions) {
      EXPECT_GT(*row.instructions, 0) << "a sort runs instructions";
    }
  }
}
#endif

TEST_F(FileDuelTest, TheSameChosenSeedWritesTheSameInputFileWhateverTheTickCount) {
  kit::Instruments instruments{.read_seed = fixed_seed,
                               .read_clock = test_support::read_numbered_clock,
                               .chosen_seed = 31337,
                               .record = {.file = "record.csv", .program = "tallyduel"}};
  ASSERT_EQ(run_recorded_duel(instruments).exit_status, 0);
  const std::string first_input = read_file("vstup.in");
  EXPECT_EQ(test_support::read_csv("record.csv").field(0, "seed"), "31337");

  instruments.read_seed = other_tick_count;
  instruments.record = {};
  ASSERT_EQ(run_recorded_duel(instruments).exit_status, 0);
  EXPECT_EQ(read_file("vstup.in"), first_input) << "a replay draws the same data";

  instruments.chosen_seed = 31338;
  ASSERT_EQ(run_recorded_duel(instruments).exit_status, 0);
  EXPECT_NE(read_file("vstup.in"), first_input);
}

// ---- the real program ----------------------------------------------------

// tallyduel in the scratch folder, standard input from the null device.
test_support::ProgramResult run_tallyduel(const test_support::ScratchDirectory& scratch) {
  test_support::ProgramRun run;
  run.program = test_support::sibling_program("tallyduel");
  run.directory = scratch.path();
  return test_support::run_program(run);
}

TEST(Tallyduel, CannotCreateItsInputFileStopsBeforeTouchingTheResultsFile) {
  test_support::ScratchDirectory scratch;
  std::filesystem::create_directory("vstup.in");
  std::ofstream("vystup.out", std::ios::binary) << "earlier results\r\n";
  const auto result = run_tallyduel(scratch);
  EXPECT_EQ(result.exit_status, 5);
  EXPECT_TRUE(test_support::is_runtime_error_report(result.output, 5, {"MAKEFILE", "tallyduel"})) << result.output;
  EXPECT_EQ(read_file("vystup.out"), "earlier results\r\n");
}

// The full run: about 320 MB of arrays, 145 MB written to "vstup.in", a few seconds.
TEST(Tallyduel, FullRunReportsNineInputsAndLeavesTheFixedLineMap) {
  test_support::ScratchDirectory scratch;
  const auto result = run_tallyduel(scratch);
  ASSERT_EQ(result.exit_status, 0) << result.output;

  const auto console = split_crlf_lines(result.output);
  ASSERT_TRUE(console.ok) << "console line " << console.first_bad_line;
  ASSERT_EQ(console.lines.size(), 35u);
  const auto file = split_crlf_lines(read_file("vystup.out"));
  ASSERT_TRUE(file.ok) << "file line " << file.first_bad_line;
  EXPECT_EQ(test_support::first_difference(file.lines, console.lines), "");

  for (std::size_t I = 0; I < 9; ++I) {
    const std::size_t first = I * 4;
    EXPECT_EQ(console.lines[first], "Vstup c." + std::to_string(I + 1) +
                                        ": pocet= " + std::to_string(quickvscount::kTallyduelCounts[I]) +
                                        ", rozsah= " + std::to_string(quickvscount::kTallyduelRanges[I]));
    EXPECT_TRUE(is_cell_line(console.lines[first + 1], "Cas Quicksortu:    ")) << console.lines[first + 1];
    EXPECT_TRUE(is_cell_line(console.lines[first + 2], "Cas Countingsortu: ")) << console.lines[first + 2];
    if (I < 8) {
      EXPECT_EQ(console.lines[first + 3], "");
    }
  }

  const std::string input = read_file("vstup.in");
  const auto check =
      quickvscount_tests::check_line_map(input, quickvscount::kTallyduelCounts, quickvscount::kTallyduelRanges);
  EXPECT_EQ(check.problem, "");
  EXPECT_EQ(check.lines, 41119u);
  // The lines the map fixes: counts, and the empty lines after counts that are multiples of 1000.
  const auto lines = split_crlf_lines(input).lines;
  ASSERT_EQ(lines.size(), 41119u);
  EXPECT_EQ(lines[0], "20000000");
  for (std::size_t empty : {20002u, 30004u, 31006u, 31009u, 31111u, 41113u}) {
    EXPECT_EQ(lines[empty - 1], "") << "line " << empty;
  }
  for (std::size_t ten : {41114u, 41116u, 41118u}) EXPECT_EQ(lines[ten - 1], "10") << "line " << ten;
  EXPECT_EQ(check.largest[0], 10) << "inputs 1 to 3 reach the top of their range";
}

}  // namespace
