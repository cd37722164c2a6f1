// The small-array benchmark: its steps on whole tables, the results file,
// and whole runs scaled down to a few hundred arrays.
#include "smallarrays/small_array_benchmark.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <vector>

#include "kit/runtime_error.hpp"
#include "smallarrays/small_array_programs.hpp"
#include "smallarrays/small_array_results.hpp"
#include "smallarrays/small_array_work.hpp"
#include "support/early_failures.hpp"
#include "support/record_check.hpp"
#include "support/run_program.hpp"
#include "support/runtime_error_report.hpp"
#include "support/test_support.hpp"

namespace {

using smallarrays::Algorithm;
using smallarrays::PoleTable;
using test_support::first_difference;
using test_support::read_file;
using test_support::split_crlf_lines;
using Lines = std::vector<std::string>;

const std::string kSixSeparator(77, '-');
const std::string kFiveSeparator(66, '-');

kit::TimeCell cell(std::string_view text) {
  kit::TimeCell result;
  result.append(text);
  return result;
}

// A table of R rows of C cells, all "00:00.00" but those given.
std::vector<kit::TimeCell> table(std::size_t rows, std::size_t columns) {
  return std::vector<kit::TimeCell>(rows * columns, cell("00:00.00"));
}

// Writes the results file of `program` for `cells` and returns its lines.
Lines results_file(const smallarrays::SmallArrayProgram& program, const std::vector<kit::TimeCell>& cells) {
  test_support::ScratchDirectory scratch;
  kit::TextFile file;
  file.create("vystup.out");
  smallarrays::ZAPIS_DO_SUB(file, program, cells);
  file.close();
  const auto split = split_crlf_lines(read_file("vystup.out"));
  EXPECT_TRUE(split.ok) << "line " << split.first_bad_line << " does not end with CR LF";
  return split.lines;
}

TEST(SmallArrayResults, SmallsixFileHasThirtySixLinesInItsFixedLayout) {
  auto cells = table(16, 6);
  const std::array<const char*, 12> first_rows{"00:00.21", "00:00.40", "00:00.35", "00:00.18", "00:00.12", "00:00.17",
                                               "00:00.38", "00:00.86", "00:00.77", "00:00.52", "00:00.31", "00:00.44"};
  for (std::size_t i = 0; i < first_rows.size(); ++i) cells[i] = cell(first_rows[i]);
  const Lines lines = results_file(smallarrays::kSmallsix, cells);
  ASSERT_EQ(lines.size(), 36u);
  const Lines expected_start{
      "Vysledky pre maloprvkove polia:",
      "",
      " n \\ sort |    QS    |    MS    |    HS    |    BS    |    IS    |    SS    |",
      kSixSeparator,
      "     5    | 00:00.21 | 00:00.40 | 00:00.35 | 00:00.18 | 00:00.12 | 00:00.17 |",
      kSixSeparator,
      "    10    | 00:00.38 | 00:00.86 | 00:00.77 | 00:00.52 | 00:00.31 | 00:00.44 |",
      kSixSeparator,
  };
  EXPECT_EQ(first_difference(Lines(lines.begin(), lines.begin() + 8), expected_start), "");
  EXPECT_EQ(lines[34], "    80    | 00:00.00 | 00:00.00 | 00:00.00 | 00:00.00 | 00:00.00 | 00:00.00 |");
  EXPECT_EQ(lines[35], kSixSeparator);
  for (std::size_t i = 2; i < lines.size(); ++i) EXPECT_EQ(lines[i].size(), 77u) << "line " << i + 1;
}

TEST(SmallArrayResults, SmallfivePadsLabelsBelowOneHundredWithOneMoreSpace) {
  auto cells = table(19, 5);
  const std::array<const char*, 5> row_70{"00:01.62", "00:03.05", "00:03.41", "00:04.10", "00:05.83"};
  const std::array<const char*, 5> row_100{"00:02.47", "00:04.52", "00:05.20", "00:08.33", "00:11.65"};
  for (std::size_t j = 0; j < 5; ++j) {
    cells[j] = cell(row_70[j]);
    cells[6 * 5 + j] = cell(row_100[j]);
  }
  const Lines lines = results_file(smallarrays::kSmallfive, cells);
  ASSERT_EQ(lines.size(), 42u);
  EXPECT_EQ(lines[2], " n \\ sort |    QS    |    MS    |    HS    |    IS    |    SS    |");
  EXPECT_EQ(lines[3], kFiveSeparator);
  EXPECT_EQ(lines[4], "    70    | 00:01.62 | 00:03.05 | 00:03.41 | 00:04.10 | 00:05.83 |");
  EXPECT_EQ(lines[14], "    95    | 00:00.00 | 00:00.00 | 00:00.00 | 00:00.00 | 00:00.00 |");
  EXPECT_EQ(lines[16], "   100    | 00:02.47 | 00:04.52 | 00:05.20 | 00:08.33 | 00:11.65 |");
  EXPECT_EQ(lines[41], kFiveSeparator);
}

TEST(SmallArrayResults, ALongCellShiftsOnlyItsOwnRow) {
  auto cells = table(16, 6);
  cells[6 + 2] = cell("-59:-40.00");
  const Lines lines = results_file(smallarrays::kSmallsix, cells);
  EXPECT_EQ(lines[6], "    10    | 00:00.00 | 00:00.00 | -59:-40.00 | 00:00.00 | 00:00.00 | 00:00.00 |");
  EXPECT_EQ(lines[6].size(), 79u);
  EXPECT_EQ(lines[4].size(), 77u);
  EXPECT_EQ(lines[8].size(), 77u);
}

// The header is a fixed text, so the names of the algorithms must agree with
// it column by column, and each column must name the kernel of its own sort.
TEST(SmallArrayResults, TheHeaderListsTheColumnLabelsOfTheProgramsAlgorithmsInOrder) {
  for (const smallarrays::SmallArrayProgram* program : {&smallarrays::kSmallsix, &smallarrays::kSmallfive}) {
    std::string header = " n \\ sort |";
    for (const Algorithm algorithm : program->algorithms) {
      const std::string label(smallarrays::column_label(algorithm));
      header += "    " + label + "    |";
      EXPECT_EQ(smallarrays::kernel_name(algorithm), label.substr(0, 1) + "SORT") << label;
    }
    EXPECT_EQ(program->header, header) << program->name;
  }
}

// A small table whose index 0 holds a marker that no step may touch.
struct SmallTables {
  static constexpr std::int32_t kArrays = 40;
  static constexpr std::int32_t kLastSlot = 20;
  static constexpr std::int32_t kMarker = -7;
  std::vector<kit::Element> vzor = std::vector<kit::Element>(kArrays * (kLastSlot + 1), 0);
  std::vector<kit::Element> tried = std::vector<kit::Element>(kArrays * (kLastSlot + 1), 0);
  PoleTable VZOR{vzor.data(), kArrays, kLastSlot + 1};
  PoleTable TRIED{tried.data(), kArrays, kLastSlot + 1};

  SmallTables() {
    for (std::int32_t J = 0; J < kArrays; ++J) VZOR.pole(J)[0] = TRIED.pole(J)[0] = kMarker;
  }
};

TEST(SmallArraySteps, FillDrawsEverySlotFromOneToAMillionAndLeavesIndexZero) {
  SmallTables tables;
  kit::RandomSource random(99);
  smallarrays::fill_patterns(tables.VZOR, random);
  for (std::int32_t J = 0; J < SmallTables::kArrays; ++J) {
    const kit::Element* pattern = tables.VZOR.pole(J);
    EXPECT_EQ(pattern[0], SmallTables::kMarker);
    for (std::int32_t K = 1; K <= SmallTables::kLastSlot; ++K) {
      ASSERT_GE(pattern[K], 1);
      ASSERT_LE(pattern[K], 1000000);
    }
  }
  // The next fill continues the sequence: new data for the next length.
  const std::vector<kit::Element> before = tables.vzor;
  smallarrays::fill_patterns(tables.VZOR, random);
  EXPECT_NE(tables.vzor, before);
}

TEST(SmallArraySteps, EveryBatchSortsSlotsOneToNOfEveryArrayAndNothingElse) {
  test_support::use_utc();
  test_support::set_fake_clock(1000, 37);
  SmallTables tables;
  kit::RandomSource random(5);
  smallarrays::fill_patterns(tables.VZOR, random);
  std::vector<kit::Element> B(SmallTables::kLastSlot + 1, 0);
  kit::Stopwatch stopwatch(test_support::read_fake_clock);
  const std::int32_t N = 13;
  for (Algorithm algorithm :
       {Algorithm::QS, Algorithm::MS, Algorithm::HS, Algorithm::BS, Algorithm::IS, Algorithm::SS}) {
    smallarrays::restore_working_copies(tables.VZOR, tables.TRIED);
    EXPECT_EQ(smallarrays::time_batch(stopwatch, algorithm, tables.TRIED, N, B.data()), 37);
    for (std::int32_t J = 0; J < SmallTables::kArrays; ++J) {
      const kit::Element* pattern = tables.VZOR.pole(J);
      const kit::Element* sorted = tables.TRIED.pole(J);
      std::vector<kit::Element> expected(pattern + 1, pattern + N + 1);
      std::sort(expected.begin(), expected.end());
      ASSERT_EQ(std::vector<kit::Element>(sorted + 1, sorted + N + 1), expected) << static_cast<int>(algorithm);
      ASSERT_TRUE(std::equal(sorted + N + 1, sorted + SmallTables::kLastSlot + 1, pattern + N + 1));
      ASSERT_EQ(sorted[0], SmallTables::kMarker);
    }
  }
}

// The whole run with few arrays and a clock that moves 1.23 s per reading.
class ScaledDownRun : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::use_utc();
    test_support::set_fake_clock(8 * 3600, 123);
  }

  static smallarrays::SmallArrayProgram scaled(smallarrays::SmallArrayProgram program,
                                               std::span<const std::int32_t> lengths) {
    program.arrays = 300;
    program.lengths = lengths;
    return program;
  }

  // Runs the program; returns its console text and the lines of "vystup.out".
  std::pair<std::string, Lines> run(const smallarrays::SmallArrayProgram& program) {
    test_support::CapturedStdout console;
    smallarrays::run_small_array_benchmark(program, {[] { return 42u; }, test_support::read_fake_clock});
    console.restore();
    const auto file = split_crlf_lines(read_file("vystup.out"));
    EXPECT_TRUE(file.ok);
    return {console.text(), file.lines};
  }

  test_support::ScratchDirectory scratch_;
};

TEST_F(ScaledDownRun, SmallsixPrintsOneProgressLinePerLengthAndWritesTheTable) {
  const std::array<std::int32_t, 3> lengths{5, 10, 80};
  const auto [console, lines] = run(scaled(smallarrays::kSmallsix, lengths));
  EXPECT_EQ(console, "1\r\n2\r\n3\r\n");
  const std::string row = " | 00:01.23 | 00:01.23 | 00:01.23 | 00:01.23 | 00:01.23 | 00:01.23 |";
  const Lines expected{
      "Vysledky pre maloprvkove polia:",
      "",
      " n \\ sort |    QS    |    MS    |    HS    |    BS    |    IS    |    SS    |",
      kSixSeparator,
      "     5   " + row,
      kSixSeparator,
      "    10   " + row,
      kSixSeparator,
      "    80   " + row,
      kSixSeparator,
  };
  EXPECT_EQ(first_difference(lines, expected), "");
}

TEST_F(ScaledDownRun, SmallfiveHasNoBubbleSortColumn) {
  const std::array<std::int32_t, 2> lengths{95, 160};
  const auto [console, lines] = run(scaled(smallarrays::kSmallfive, lengths));
  EXPECT_EQ(console, "1\r\n2\r\n");
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[4], "    95    | 00:01.23 | 00:01.23 | 00:01.23 | 00:01.23 | 00:01.23 |");
  EXPECT_EQ(lines[6], "   160    | 00:01.23 | 00:01.23 | 00:01.23 | 00:01.23 | 00:01.23 |");
}

// Every clock reading checks that nothing has reached "vystup.out" yet.
bool file_was_written_early = false;
kit::os::ClockReading clock_checking_results_file() {
  if (!test_support::results_file_is_empty()) file_was_written_early = true;
  return test_support::read_fake_clock();
}

TEST_F(ScaledDownRun, LeavesTheResultsFileEmptyUntilTheLastMeasurement) {
  const std::array<std::int32_t, 2> lengths{5, 80};
  test_support::CapturedStdout console;
  smallarrays::run_small_array_benchmark(scaled(smallarrays::kSmallsix, lengths),
                                         {[] { return 1u; }, clock_checking_results_file});
  console.restore();
  EXPECT_FALSE(file_was_written_early);
  EXPECT_EQ(split_crlf_lines(read_file("vystup.out")).lines.size(), 8u);
}

#ifndef _WIN32  // Windows has no device that is always full; the closed pipe below fails there too.
TEST_F(ScaledDownRun, StopsWithErrorTwentyEightWhenTheConsoleIsFull) {
  const std::array<std::int32_t, 1> lengths{5};
  EXPECT_EXIT(
      {
        test_support::send_standard_output_to("/dev/full");
        smallarrays::run_small_array_benchmark(scaled(smallarrays::kSmallsix, lengths),
                                               {[] { return 1u; }, test_support::read_fake_clock});
      },
      ::testing::ExitedWithCode(28), "");
}
#endif

TEST_F(ScaledDownRun, StopsWithErrorThirtyTwoWhenTheConsoleIsAPipeWhoseReaderHasGone) {
  static constexpr std::array<std::int32_t, 1> kLengths{5};
  test_support::ChildStreams streams;
  streams.output_to_pipe_without_reader = true;
  const auto result = test_support::run_in_child(
      [] {
        kit::prepare_process();
        smallarrays::run_small_array_benchmark(scaled(smallarrays::kSmallsix, kLengths),
                                               {[] { return 1u; }, test_support::read_fake_clock});
      },
      streams);
  EXPECT_EQ(result.exit_status, 32);
  EXPECT_TRUE(test_support::results_file_is_empty()) << "the table is written only after the last length";
}

// ---- the precise record ----------------------------------------------------

bool tick_count_was_read = false;
std::uint32_t tick_count_that_must_not_be_read() {
  tick_count_was_read = true;
  return 1;
}

// Runs a scaled-down smallsix on the numbered clocks, with the record when a
// file is named; the console goes to standard output.
void run_numbered(const char* record_file) {
  test_support::use_utc();
  test_support::reset_numbered_clock(9 * 360000);
  test_support::reset_numbered_precise_clock();
  static constexpr std::array<std::int32_t, 3> kLengths{5, 40, 80};
  smallarrays::SmallArrayProgram program = smallarrays::kSmallsix;
  program.arrays = 200;
  program.lengths = kLengths;
  smallarrays::run_small_array_benchmark(program, {.read_seed = tick_count_that_must_not_be_read,
                                                   .read_clock = test_support::read_numbered_clock,
                                                   .read_precise_clock = test_support::read_numbered_precise_clock,
                                                   .chosen_seed = 2024,
                                                   .record = {.file = record_file, .program = "smallsix"}});
}

// The same run in this process; returns its console and the bytes of "vystup.out".
std::pair<std::string, std::string> run_numbered_here(const char* record_file) {
  test_support::CapturedStdout console;
  run_numbered(record_file);
  console.restore();
  return {console.text(), read_file("vystup.out")};
}

TEST(RecordedSmallArrayRun, NamesEveryCellOfTheTableWithItsHundredthsAndNanoseconds) {
  test_support::ScratchDirectory scratch;
  tick_count_was_read = false;
  const auto [console, results] = run_numbered_here("record.csv");
  const test_support::CsvFile record = test_support::read_csv("record.csv");
  ASSERT_EQ(record.rows.size(), 18u);
  const auto kernel_of = [](std::size_t, std::size_t column) {
    return smallarrays::kernel_name(smallarrays::kSmallsix.algorithms[column]);
  };
  EXPECT_EQ(
      test_support::compare_with_cells(record, test_support::table_cells(results), kit::short_form::SPRACUJ, kernel_of),
      "");
  EXPECT_EQ(test_support::reader_problem("record.csv"), "");
  for (std::size_t i = 0; i < record.rows.size(); ++i) {
    EXPECT_EQ(record.field(i, "program"), "smallsix");
    EXPECT_EQ(record.field(i, "seed"), "2024");
    EXPECT_EQ(record.field(i, "seed_source"), "SORTBENCH_SEED");
    EXPECT_EQ(record.field(i, "nanoseconds"), std::to_string(test_support::numbered_precise_nanoseconds(i)));
  }
  // Row by row, each row in column order, as the windows were measured.
  EXPECT_EQ(record.field(0, "table"), "maloprvkove polia");
  EXPECT_EQ(record.field(7, "row_label"), "40");
  EXPECT_EQ(record.field(7, "column_label"), "MS");
  EXPECT_EQ(record.field(7, "kernel"), "MSORT");
  EXPECT_EQ(record.field(9, "kernel"), "BSORT");
  EXPECT_FALSE(tick_count_was_read) << "the chosen seed replaces the tick count";
}

TEST(RecordedSmallArrayRun, LeavesTheConsoleAndTheResultsFileByteForByteAsWithoutIt) {
  test_support::ScratchDirectory scratch;
  const auto with_record = run_numbered_here("record.csv");
  std::filesystem::remove("record.csv");
  const auto without = run_numbered_here(nullptr);
  EXPECT_EQ(with_record, without);
  EXPECT_FALSE(std::filesystem::exists("record.csv"));
}

// Windows has no device that is always full, and Wine does not enforce the
// locks another program could hold on the record.
#ifndef _WIN32
TEST(RecordedSmallArrayRun, AFailingRecordStopsTheRunOnlyAfterTheResultsFileIsComplete) {
  test_support::ScratchDirectory scratch;
  const auto result = test_support::run_in_child([] { run_numbered("/dev/full"); });
  EXPECT_EQ(result.exit_status, 28);
  const std::string progress = "1\r\n2\r\n3\r\n";
  ASSERT_TRUE(result.output.starts_with(progress)) << result.output;
  EXPECT_TRUE(test_support::is_runtime_error_report(result.output.substr(progress.size()), 28,
                                                    {"SORTBENCH_RECORD", "smallsix"}))
      << result.output;
  EXPECT_EQ(split_crlf_lines(read_file("vystup.out")).lines.size(), 10u);
}
#endif

TEST(RecordedSmallArrayRun, AClosedConsoleCannotLendItsDescriptorToTheRecord) {
  test_support::ScratchDirectory scratch;
  test_support::ChildStreams closed;
  closed.close_standard_output = true;
  const auto result = test_support::run_in_child(
      [] {
        kit::prepare_process();
        run_numbered("record.csv");
      },
      closed);
  EXPECT_EQ(result.exit_status, 9) << "the first progress line fails on the occupied descriptor";
  EXPECT_EQ(read_file("record.csv"), "") << "no console text lands in the record";
  EXPECT_TRUE(test_support::results_file_is_empty());
}

}  // namespace

using test_support::program_name;
using test_support::ProgramStoppingEarly;

INSTANTIATE_TEST_SUITE_P(SmallArrayPrograms, ProgramStoppingEarly, ::testing::Values("smallsix", "smallfive"),
                         program_name);

// A sample of every 20th array estimates the batch's work per array within
// its stated standard error; counting every array states none.
TEST(SmallArrayWork, ASampleOfTheBatchEstimatesItsMeanWithinItsStandardError) {
  smallarrays::SmallArrayProgram program = smallarrays::kSmallsix;
  program.arrays = 2000;
  const std::array<std::int32_t, 3> lengths{5, 20, 80};
  program.lengths = lengths;
  const auto all = smallarrays::replay_small_array_work(program, 42, program.arrays);
  const auto sample = smallarrays::replay_small_array_work(program, 42, smallarrays::study_sample(program));
  ASSERT_EQ(all.size(), 3 * program.algorithms.size());
  ASSERT_EQ(sample.size(), all.size());
  int outside_two_errors = 0;
  int estimated = 0;
  for (std::size_t cell = 0; cell < all.size(); ++cell) {
    EXPECT_FALSE(all[cell].sampled());
    EXPECT_EQ(all[cell].comparisons_error, 0);
    ASSERT_EQ(sample[cell].counted_arrays, 100);
    const double exact = all[cell].per_array(all[cell].total.comparisons);
    const double estimate = sample[cell].per_array(sample[cell].total.comparisons);
    const double error = sample[cell].comparisons_error;
    if (error == 0) {
      // SSORT and MSORT compare as often on every array of a length.
      EXPECT_EQ(estimate, exact) << sample[cell].kernel;
      continue;
    }
    ++estimated;
    EXPECT_LT(std::abs(estimate - exact), 4 * error) << sample[cell].kernel << " at row " << sample[cell].row;
    if (std::abs(estimate - exact) > 2 * error) ++outside_two_errors;
  }
  EXPECT_GE(estimated, 12) << "QSORT, HSORT, BSORT and ISORT vary from array to array";
  EXPECT_LE(outside_two_errors, 3) << "about 1 in 20 lies beyond two standard errors";
}
