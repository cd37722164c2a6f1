// tallygrid: the grid duel scaled down (data, order, console and file), its
// fixed layout, and the real program's failures before any measurement.
#include "quickvscount/grid_duel.hpp"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "kit/random_source.hpp"
#include "kit/work_counts.hpp"
#include "quickvscount/duel_work.hpp"
#include "support/early_failures.hpp"
#include "support/kernel_record.hpp"
#include "support/numbered_run.hpp"
#include "support/test_support.hpp"

namespace {

using test_support::first_difference;
using test_support::read_file;
using test_support::split_crlf_lines;
using Lines = std::vector<std::string>;
using Values = std::vector<kit::Element>;

constexpr std::uint32_t kSeed = 20240611;
std::uint32_t fixed_seed() { return kSeed; }

// Records what each kernel was given and whether "vystup.out" was still
// empty at that moment, then sorts with the real kernel.
struct RecordingKernels {
  struct Cell {
    Values quick_input, counting_input;
    std::int32_t K = 0;
    std::size_t progress_lines_before = 0;
  };
  std::vector<Cell> cells;
  const test_support::CapturedStdout* console = nullptr;
  test_support::ResultsFileWatch results_file;

  void quick(kit::Element* A, std::int32_t N) {
    results_file.note_kernel_call();
    cells.emplace_back();
    cells.back().quick_input.assign(A + 1, A + N + 1);
    cells.back().progress_lines_before = split_crlf_lines(console->text()).lines.size();
    kit::QSORT(A, 1, N);
  }
  void counting(kit::Element* A, std::int32_t N, std::int32_t K, kit::Element* B, kit::Element* C) {
    results_file.note_kernel_call();
    cells.back().counting_input.assign(A + 1, A + N + 1);
    cells.back().K = K;
    kit::CSORT(A, N, K, B, C);
  }
};

const std::string kSeparator44(44, '-');
const std::array<std::int32_t, 3> kSmallLengths{1, 7, 400};
const quickvscount::GridDuelProgram kSmallGrid{
    .name = "tallygrid",
    .last_index = 1000,
    .lengths = kSmallLengths,
    .ranges = 3,
    .layout = {"Vysledky pre Quicksort:", "Vysledky pre Countingsort:", "  n  \\  k |    10    |    100   |   1000   |",
               kSeparator44, quickvscount::kTallygrid.layout.first_kernel,
               quickvscount::kTallygrid.layout.second_kernel},
};

// The scaled grid on the numbered clocks with the given instruments.
test_support::RunLines run_scaled(RecordingKernels& kernels, const kit::Instruments& instruments) {
  return test_support::run_on_numbered_clocks(
      instruments, [&](const kit::Instruments& numbered, const test_support::CapturedStdout& console) {
        kernels.console = &console;
        quickvscount::run_grid_duel_with(kSmallGrid, numbered, kernels);
      });
}

class ScaledDownGridDuel : public ::testing::Test {
 protected:
  void SetUp() override { run = run_scaled(kernels, {.read_seed = fixed_seed}); }

  test_support::ScratchDirectory scratch;
  RecordingKernels kernels;
  test_support::RunLines run;
};

TEST_F(ScaledDownGridDuel, DrawsFreshDataForEveryCellAndGivesBothKernelsTheSameValues) {
  ASSERT_EQ(kernels.cells.size(), 9u);
  // The whole run is one stream of draws, cell after cell in row order.
  kit::RandomSource random(kSeed);
  for (std::size_t cell = 0; cell < 9; ++cell) {
    const std::int32_t N = kSmallLengths[cell / 3];
    const std::int32_t ROZSAH = std::array{10, 100, 1000}[cell % 3];
    Values expected(static_cast<std::size_t>(N));
    for (auto& value : expected) value = random.below(ROZSAH) + 1;
    const auto& seen = kernels.cells[cell];
    EXPECT_EQ(seen.quick_input, expected) << "cell " << cell;
    EXPECT_EQ(seen.counting_input, seen.quick_input) << "cell " << cell;
    EXPECT_EQ(seen.K, ROZSAH) << "cell " << cell;
    for (kit::Element value : seen.quick_input) {
      ASSERT_TRUE(value >= 1 && value <= ROZSAH) << value << " in cell " << cell;
    }
  }
  // Within a row each column draws anew, and the larger ranges are really used.
  EXPECT_NE(kernels.cells[6].quick_input, kernels.cells[7].quick_input);
  EXPECT_GT(*std::ranges::max_element(kernels.cells[8].quick_input), 100);
}

// The replay from the run's seed counts the data the run's kernels were
// given, cell by cell: equal counts of both sorts, on both paths of counting.
TEST_F(ScaledDownGridDuel, ReplayFromItsSeedCountsTheDataEachKernelWasGiven) {
  for (const std::int64_t memory_limit : {std::int64_t{0}, std::int64_t{1} << 30}) {
    const std::vector<kit::CellWork> replayed = quickvscount::replay_grid_duel_work(kSmallGrid, kSeed, memory_limit);
    ASSERT_EQ(replayed.size(), 2 * kernels.cells.size());
    for (std::size_t cell = 0; cell < kernels.cells.size(); ++cell) {
      const auto& seen = kernels.cells[cell];
      const kit::CellWork& quick = replayed[2 * cell];
      const kit::CellWork& counting = replayed[2 * cell + 1];
      EXPECT_EQ(quick.total, kit::count_work("QSORT", std::span<const kit::Element>(seen.quick_input))) << cell;
      EXPECT_EQ(counting.total,
                kit::count_work("CSORT", std::span<const kit::Element>(seen.counting_input), {.value_range = seen.K}))
          << cell;
      EXPECT_EQ(std::tuple(quick.table, quick.row, quick.column, quick.kernel),
                std::tuple(std::size_t{0}, cell / 3, cell % 3, std::string("QSORT")));
      EXPECT_EQ(std::tuple(counting.table, counting.row, counting.column),
                std::tuple(std::size_t{1}, cell / 3, cell % 3));
    }
  }
}

TEST_F(ScaledDownGridDuel, PrintsOneProgressLinePerCellThenTheScreenTablesEqualToTheFile) {
  const Lines progress{"1 1", "1 2", "1 3", "2 1", "2 2", "2 3", "3 1", "3 2", "3 3"};
  ASSERT_EQ(run.console.size(), 9u + 21u);
  EXPECT_EQ(first_difference(Lines(run.console.begin(), run.console.begin() + 9), progress), "");
  for (std::size_t cell = 0; cell < kernels.cells.size(); ++cell) {
    EXPECT_EQ(kernels.cells[cell].progress_lines_before, cell) << "progress line missing before cell " << cell;
  }

  // Cell c timed QSORT as measurement 2c (2c + 1 hundredths) and CSORT as 2c + 1.
  const Lines expected{
      "Vysledky pre Quicksort:",
      "",
      "  n  \\  k |    10    |    100   |   1000   |",
      kSeparator44,
      "         1| 00:00.01 | 00:00.03 | 00:00.05 |",
      kSeparator44,
      "         7| 00:00.07 | 00:00.09 | 00:00.11 |",
      kSeparator44,
      "       400| 00:00.13 | 00:00.15 | 00:00.17 |",
      kSeparator44,
      "",
      "Vysledky pre Countingsort:",
      "",
      "  n  \\  k |    10    |    100   |   1000   |",
      kSeparator44,
      "         1| 00:00.02 | 00:00.04 | 00:00.06 |",
      kSeparator44,
      "         7| 00:00.08 | 00:00.10 | 00:00.12 |",
      kSeparator44,
      "       400| 00:00.14 | 00:00.16 | 00:00.18 |",
      kSeparator44,
  };
  EXPECT_EQ(first_difference(run.file, expected), "");
  EXPECT_EQ(first_difference(Lines(run.console.begin() + 9, run.console.end()), run.file), "");
}

TEST_F(ScaledDownGridDuel, LeavesTheResultsFileEmptyUntilTheLastCellIsMeasured) {
  EXPECT_FALSE(kernels.results_file.written_early);
  EXPECT_EQ(split_crlf_lines(read_file("vystup.out")).lines.size(), 21u);
}

// The scaled grid with the record and a chosen seed; returns what the kernels saw.
std::vector<RecordingKernels::Cell> run_recorded(std::uint32_t (*read_seed)()) {
  RecordingKernels kernels;
  run_scaled(kernels,
             {.read_seed = read_seed, .chosen_seed = 8, .record = {.file = "record.csv", .program = "tallygrid"}});
  return kernels.cells;
}

std::uint32_t other_seed() { return kSeed + 1; }

TEST(RecordedGridDuel, NamesEveryCellOfBothTablesAndReplaysTheSameData) {
  test_support::ScratchDirectory scratch;
  const auto first_cells = run_recorded(fixed_seed);
  const test_support::CsvFile record = test_support::read_kernel_record(
      18, {"Quicksort", "Countingsort", kSmallGrid.layout.first_kernel, kSmallGrid.layout.second_kernel},
      test_support::table_cells, kit::short_form::SPRACUJ);
  EXPECT_EQ(record.field(17, "row_label"), "400");
  EXPECT_EQ(record.field(17, "column_label"), "1000");
  EXPECT_EQ(record.field(17, "nanoseconds"), std::to_string(test_support::numbered_precise_nanoseconds(17)));
  EXPECT_EQ(record.field(17, "seed"), "8");

  const auto replayed_cells = run_recorded(other_seed);
  ASSERT_EQ(replayed_cells.size(), first_cells.size());
  for (std::size_t cell = 0; cell < first_cells.size(); ++cell) {
    EXPECT_EQ(replayed_cells[cell].quick_input, first_cells[cell].quick_input) << "cell " << cell;
  }
  kit::RandomSource chosen(8);
  EXPECT_EQ(first_cells[0].quick_input, Values{chosen.below(10) + 1});
}

// The scaled run above prints its own three-column header; this is the real one.
TEST(TallygridLayout, IsHeaderAWithItsCaptions) {
  const auto& layout = quickvscount::kTallygrid.layout;
  EXPECT_EQ(layout.first_caption, "Vysledky pre Quicksort:");
  EXPECT_EQ(layout.second_caption, "Vysledky pre Countingsort:");
  EXPECT_EQ(layout.header, "  n  \\  k |    10    |    100   |   1000   |   10000  |  100000  |  1000000 | 10000000 |");
  EXPECT_EQ(layout.separator, std::string(88, '-'));
}

}  // namespace

using test_support::program_name;
using test_support::ProgramStoppingEarly;

INSTANTIATE_TEST_SUITE_P(QuickVsCountPrograms, ProgramStoppingEarly, ::testing::Values("tallygrid", "tallyduel"),
                         program_name);
