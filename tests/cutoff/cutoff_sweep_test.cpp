// The cutoff sweep scaled down in both variants (cutoffs, data, console and
// file), the programs' parameters, and the real programs' early failures.
#include "cutoff/cutoff_sweep.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cutoff/cutoff_programs.hpp"
#include "cutoff/cutoff_work.hpp"
#include "kit/random_source.hpp"
#include "kit/work_counts.hpp"
#include "support/early_failures.hpp"
#include "support/kernel_record.hpp"
#include "support/numbered_run.hpp"
#include "support/run_program.hpp"
#include "support/sibling_program.hpp"
#include "support/test_support.hpp"

namespace {

using kit::CutoffMeasure;
using test_support::first_difference;
using test_support::read_file;
using Lines = std::vector<std::string>;
using Values = std::vector<kit::Element>;

constexpr std::uint32_t kSeed = 777;
std::uint32_t fixed_seed() { return kSeed; }

// Records what each kernel was given, and whether "vystup.out" was still
// empty then, and sorts with the real kernels.
struct RecordingKernels {
  struct Cell {
    Values recursive_input, combined_input;
    std::int32_t HRANICA = 0;
    CutoffMeasure measure{};
    bool recursive_sorted = false;
  };
  std::vector<Cell> cells;
  test_support::ResultsFileWatch results_file;

  void recursive(kit::Element* A, std::int32_t N) {
    results_file.note_kernel_call();
    cells.emplace_back();
    cells.back().recursive_input.assign(A + 1, A + N + 1);
    kit::REKQSORT(A, 1, N);
    cells.back().recursive_sorted = std::is_sorted(A + 1, A + N + 1);
  }
  template <CutoffMeasure Measure>
  void combined(kit::Element* A, std::int32_t N, std::int32_t HRANICA) {
    results_file.note_kernel_call();
    cells.back().combined_input.assign(A + 1, A + N + 1);
    cells.back().HRANICA = HRANICA;
    cells.back().measure = Measure;
    kit::COMQSORT<Measure>(A, 1, N, HRANICA);
  }
};

struct SweepRun {
  RecordingKernels kernels;
  test_support::RunLines lines;
};

// Runs `program` with few, short rows in the current folder.
SweepRun run_scaled(cutoff::CutoffProgram program, std::span<const std::int32_t> lengths,
                    const kit::Instruments& instruments = {.read_seed = fixed_seed}) {
  program.lengths = lengths;
  program.last_index = lengths.back() + 1;
  SweepRun run;
  run.lines = test_support::run_on_numbered_clocks(
      instruments, [&](const kit::Instruments& numbered, const test_support::CapturedStdout&) {
        cutoff::run_cutoff_sweep_with(program, numbered, run.kernels);
      });
  return run;
}

// "label| 00:00.vv | ... |" for cells whose times are the given hundredths.
std::string row_line(std::string_view label, std::int32_t first_hundredths, std::int32_t columns) {
  std::string line(label);
  char cell[16];
  for (std::int32_t J = 0; J < columns; ++J) {
    std::snprintf(cell, sizeof cell, " 00:00.%02d |", first_hundredths + 2 * J);
    line += cell;
  }
  return line;
}

Lines progress_lines(std::int32_t rows, std::int32_t columns) {
  Lines lines;
  for (std::int32_t I = 1; I <= rows; ++I) {
    for (std::int32_t J = 1; J <= columns; ++J) lines.push_back(std::to_string(I) + " " + std::to_string(J));
  }
  return lines;
}

// Both tables of the file, a row per label. Cell c timed REKQSORT as
// measurement 2c (2c + 1 hundredths) and COMQSORT as 2c + 1.
Lines both_tables(const std::string& header, std::size_t separator_length, const Lines& row_labels,
                  std::int32_t columns) {
  const std::string separator(separator_length, '-');
  Lines lines;
  for (const std::int32_t table : {0, 1}) {
    if (table == 1) lines.push_back("");
    lines.push_back(table == 0 ? "Vysledky pre rekurzivny Quicksort:"
                               : "Vysledky pre kombinovany Quicksort a Insertsort:");
    lines.insert(lines.end(), {"", header, separator});
    for (std::size_t row = 0; row < row_labels.size(); ++row) {
      const auto first_cell = static_cast<std::int32_t>(row) * columns;
      lines.push_back(row_line(row_labels[row], 2 * first_cell + 1 + table, columns));
      lines.push_back(separator);
    }
  }
  return lines;
}

// Every cell draws its own values from one stream, in row order, from 1..1000000.
void expect_fresh_identical_data(const SweepRun& run, std::span<const std::int32_t> lengths, std::int32_t columns) {
  ASSERT_EQ(run.kernels.cells.size(), lengths.size() * static_cast<std::size_t>(columns));
  kit::RandomSource random(kSeed);
  for (std::size_t cell = 0; cell < run.kernels.cells.size(); ++cell) {
    Values expected(static_cast<std::size_t>(lengths[cell / static_cast<std::size_t>(columns)]));
    for (auto& value : expected) value = random.below(1000000) + 1;
    const auto& seen = run.kernels.cells[cell];
    EXPECT_EQ(seen.recursive_input, expected) << "cell " << cell;
    EXPECT_EQ(seen.combined_input, seen.recursive_input) << "cell " << cell;
    EXPECT_TRUE(seen.recursive_sorted) << "cell " << cell;
  }
  EXPECT_FALSE(run.kernels.results_file.written_early);
}

// A program scaled down to a few short rows, and what its file must hold then.
struct ScaledSweep {
  const cutoff::CutoffProgram* program;
  std::vector<std::int32_t> lengths;
  std::int32_t columns;
  std::int32_t first_cutoff;
  CutoffMeasure measure;
  std::string header;  // header B for cutoffwide, C for cutoffnarrow
  std::size_t separator_length;
  Lines row_labels;
};

const ScaledSweep kScaledCutoffwide{
    .program = &cutoff::kCutoffwide,
    .lengths = {3, 50, 200},
    .columns = 9,
    .first_cutoff = 21,
    .measure = CutoffMeasure::kIndexSpan,
    .header =
        "  n  \\  k |    21    |    22    |    23    |    24    |    25    |    26    |    27    |"
        "    28    |    29    |",
    .separator_length = 110,
    .row_labels = {"         3|", "        50|", "       200|"},
};

const ScaledSweep kScaledCutoffnarrow{
    .program = &cutoff::kCutoffnarrow,
    .lengths = {4, 30},
    .columns = 7,
    .first_cutoff = 3,
    .measure = CutoffMeasure::kElementCount,
    .header = "  n  \\  k |     3    |     4    |     5    |     6    |     7    |     8    |     9    |",
    .separator_length = 88,
    .row_labels = {"         4|", "        30|"},
};

class ScaledDownCutoffSweep : public ::testing::TestWithParam<ScaledSweep> {
 protected:
  test_support::ScratchDirectory scratch;
};

TEST_P(ScaledDownCutoffSweep, StepsTheCutoffAcrossEveryRowOnFreshData) {
  const ScaledSweep& scaled = GetParam();
  const SweepRun run = run_scaled(*scaled.program, scaled.lengths);
  expect_fresh_identical_data(run, scaled.lengths, scaled.columns);
  for (std::size_t cell = 0; cell < run.kernels.cells.size(); ++cell) {
    EXPECT_EQ(run.kernels.cells[cell].HRANICA,
              scaled.first_cutoff + static_cast<std::int32_t>(cell % static_cast<std::size_t>(scaled.columns)))
        << "cell " << cell;
    EXPECT_EQ(run.kernels.cells[cell].measure, scaled.measure);
  }
  EXPECT_EQ(first_difference(run.lines.console,
                             progress_lines(static_cast<std::int32_t>(scaled.lengths.size()), scaled.columns)),
            "");
}

// The replay from the run's seed counts the data each kernel of the run was
// given, with the cutoff and the measure of its cell.
TEST_P(ScaledDownCutoffSweep, ReplayFromItsSeedCountsTheDataEachKernelWasGiven) {
  const ScaledSweep& scaled = GetParam();
  const SweepRun run = run_scaled(*scaled.program, scaled.lengths);
  cutoff::CutoffProgram program = *scaled.program;
  program.lengths = scaled.lengths;
  const std::vector<kit::CellWork> replayed = cutoff::replay_cutoff_work(program, kSeed, std::int64_t{1} << 30);
  ASSERT_EQ(replayed.size(), 2 * run.kernels.cells.size());
  for (std::size_t cell = 0; cell < run.kernels.cells.size(); ++cell) {
    const auto& seen = run.kernels.cells[cell];
    EXPECT_EQ(replayed[2 * cell].total,
              kit::count_work("REKQSORT", std::span<const kit::Element>(seen.recursive_input)))
        << "cell " << cell;
    EXPECT_EQ(replayed[2 * cell + 1].total,
              kit::count_work("COMQSORT", std::span<const kit::Element>(seen.combined_input),
                              {.cutoff = seen.HRANICA, .measure = seen.measure}))
        << "cell " << cell;
  }
}

TEST_P(ScaledDownCutoffSweep, WritesBothTablesWithItsHeaderAndNothingElse) {
  const ScaledSweep& scaled = GetParam();
  const SweepRun run = run_scaled(*scaled.program, scaled.lengths);
  const Lines expected = both_tables(scaled.header, scaled.separator_length, scaled.row_labels, scaled.columns);
  ASSERT_EQ(expected.size(), 9 + 4 * scaled.lengths.size()) << "9 + 4R lines";
  EXPECT_EQ(first_difference(run.lines.file, expected), "");
}

TEST_P(ScaledDownCutoffSweep, RecordsEveryCellOfBothTablesWithItsCutoff) {
  const cutoff::CutoffProgram& program = *GetParam().program;
  const std::array<std::int32_t, 2> lengths{6, 90};
  const SweepRun run = run_scaled(program, lengths,
                                  {.read_seed = fixed_seed, .record = {.file = "record.csv", .program = program.name}});
  const std::size_t windows = 2 * 2 * static_cast<std::size_t>(program.cutoffs);
  const test_support::CsvFile record =
      test_support::read_kernel_record(windows,
                                       {"rekurzivny Quicksort", "kombinovany Quicksort a Insertsort",
                                        program.layout.first_kernel, program.layout.second_kernel},
                                       test_support::table_cells, kit::short_form::SPRACUJ);
  // The combined quicksort of a cell carries the cutoff it ran with.
  for (std::size_t i = 1; i < windows; i += 2) {
    EXPECT_EQ(record.field(i, "column_label"), std::to_string(run.kernels.cells[i / 2].HRANICA));
    EXPECT_EQ(record.field(i, "nanoseconds"), std::to_string(test_support::numbered_precise_nanoseconds(i)));
  }
  EXPECT_EQ(record.field(windows - 1, "program"), program.name);
  EXPECT_EQ(record.field(windows - 1, "seed"), std::to_string(kSeed));
}

// The real cutoffwide reaches its first progress line within a second or
// two. Started with its console closed, it stops there with error 9, and no
// console text lands in a file opened after the console was found closed.
TEST(Cutoffwide, WithItsConsoleClosedStopsAtTheFirstProgressLineWithErrorNine) {
  test_support::ScratchDirectory scratch;
  test_support::ProgramRun run;
  run.program = test_support::sibling_program("cutoffwide");
  run.directory = scratch.path();
  run.streams.close_standard_output = true;
  run.environment = {{"SORTBENCH_RECORD", "record.csv"}};
  const auto result = test_support::run_program(run);
  EXPECT_EQ(result.exit_status, 9);
  EXPECT_TRUE(test_support::results_file_is_empty());
  EXPECT_EQ(read_file("record.csv"), "");
}

INSTANTIATE_TEST_SUITE_P(CutoffPrograms, ScaledDownCutoffSweep,
                         ::testing::Values(kScaledCutoffwide, kScaledCutoffnarrow),
                         [](const ::testing::TestParamInfo<ScaledSweep>& info) { return info.param.program->name; });

}  // namespace

using test_support::program_name;
using test_support::ProgramStoppingEarly;

INSTANTIATE_TEST_SUITE_P(CutoffPrograms, ProgramStoppingEarly, ::testing::Values("cutoffwide", "cutoffnarrow"),
                         program_name);
