// The grid experiment shared by tallygrid, cutoffwide and cutoffnarrow: for
// every (array length, column) cell fresh random data, two identical
// copies, one timed kernel on each, two time cells and a progress line "I J";
// at the end both tables through the two-table writer.
#pragma once

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "kit/file_names.hpp"
#include "kit/instruments.hpp"
#include "kit/program_storage.hpp"
#include "kit/random_source.hpp"
#include "kit/run_record.hpp"
#include "kit/runtime_error.hpp"
#include "kit/seed_choice.hpp"
#include "kit/stopwatch.hpp"
#include "kit/text_output.hpp"
#include "kit/two_table_writer.hpp"

namespace kit {

// What tells one grid program from another, apart from its experiment.
struct GridPlan {
  std::span<const std::int32_t> lengths;  // POCET_PRVKOV: one row each, the row labels
  std::size_t columns;
  TwoTableLayout layout;
  bool tables_on_console;  // VYPIS_NA_OBR: the tables on screen before the file gets them
};

// The plan of a grid program whose parameter set gives its `lengths` and
// `layout`, with `columns` columns.
template <class Program>
constexpr GridPlan grid_plan(const Program& program, std::int32_t columns, bool tables_on_console) {
  return {
      .lengths = program.lengths,
      .columns = static_cast<std::size_t>(columns),
      .layout = program.layout,
      .tables_on_console = tables_on_console,
  };
}

// The layout is a fixed text, not built from the parameters: it fits a plan
// whose header has 11 characters for the row labels and 11 per column, and
// whose lengths ascend up to the work arrays' last index. Every window of
// the precise record names the sort it timed, so both tables name theirs.
constexpr bool layout_fits(const GridPlan& plan, std::int32_t last_index) {
  return plan.layout.header.size() == 11 + 11 * plan.columns &&
         plan.layout.separator.size() == plan.layout.header.size() && std::ranges::is_sorted(plan.lengths) &&
         plan.lengths.back() <= last_index && !plan.layout.first_kernel.empty() && !plan.layout.second_kernel.empty();
}

// The parameter of a grid program's columns (ROZSAH, HRANICA): reset at the
// start of a row, stepped at each column, where it gives the bound of that
// cell's draws.
template <class C>
concept GridColumns = requires(C& columns) {
  columns.start_row();
  { columns.start_column() } -> std::same_as<std::int32_t>;
};

// The program-specific part of a grid experiment. It owns its arrays (obtained
// when it is built, before the results file exists) and knows its kernels:
//   first(), second()   the two work arrays; data live at 1..N
//   clear()             the clearing pass made once, before any measurement
//   columns()           its column parameter, which the kernels read
//   sort_first(A, N), sort_second(A, N)   the two kernels on A[1..N]
template <class E>
concept GridExperiment = requires(E& experiment, Element* A, std::int32_t N) {
  { experiment.first() } -> std::same_as<Element*>;
  { experiment.second() } -> std::same_as<Element*>;
  experiment.clear();
  { experiment.columns() } -> GridColumns;
  experiment.sort_first(A, N);
  experiment.sort_second(A, N);
};

// A[1..N] := random values in 1..bound, drawn in index order.
inline void fill_with_draws(Element* A, std::int32_t N, std::int32_t bound, RandomSource& random) {
  random.fill_from_one_to(A + 1, static_cast<std::size_t>(N), bound);
}

// Every cell's data in the program's order of draws: row by row, column by
// column, A[1..N] := fresh values in 1..bound, then `cell(I, J, N)`. The
// programs and the replay of their data both draw through here, so a replay
// from the run's seed meets the very data the run timed.
template <GridColumns Columns, class Cell>
void draw_grid_cells(std::span<const std::int32_t> lengths, std::size_t column_count, Columns& columns,
                     RandomSource& random, Element* A, Cell&& cell) {
  for (std::size_t I = 0; I < lengths.size(); ++I) {
    columns.start_row();
    for (std::size_t J = 0; J < column_count; ++J) {
      const std::int32_t bound = columns.start_column();
      const std::int32_t N = lengths[I];
      fill_with_draws(A, N, bound, random);
      cell(I, J, N);
    }
  }
}

// The whole run after the experiment has obtained its arrays: creates
// "vystup.out" (and the record file, when asked for), seeds the random
// source, clears, measures every cell in row order, then writes the tables
// (to the console first when the plan says so), closes the file and writes
// the record. The file stays empty until the last cell is done.
template <GridExperiment Experiment>
void run_grid_sweep(const GridPlan& plan, Experiment& experiment, const Instruments& instruments) {
  const std::size_t rows = plan.lengths.size();
  const std::size_t columns = plan.columns;
  auto first_table = ProgramArray<TimeCell>::obtain(rows * columns);
  auto second_table = ProgramArray<TimeCell>::obtain(rows * columns);
  Console console;
  Stopwatch stopwatch = stopwatch_for(instruments);
  RunRecord record(instruments.record,
                   {.tables = {std::string(table_name(plan.layout.first_caption)),
                               std::string(table_name(plan.layout.second_caption))},
                    .rows = row_labels(plan.lengths),
                    .columns = column_labels(plan.layout.header),
                    .kernels = {std::string(plan.layout.first_kernel), std::string(plan.layout.second_kernel)},
                    .kernel_place = KernelPlace::kTable},
                   2 * rows * columns);
  std::string progress;
  progress.reserve(32);

  TextFile PROTOKOL;
  PROTOKOL.create(kResultsFileName);
  record.create();
  const SeedChoice seed = seed_for_run(instruments);
  RandomSource random(seed.value);
  experiment.clear();

  Element* const first = experiment.first();
  Element* const second = experiment.second();
  draw_grid_cells(plan.lengths, columns, experiment.columns(), random, first,
                  [&](std::size_t I, std::size_t J, std::int32_t N) {
                    std::copy_n(first + 1, N, second + 1);

                    const std::int32_t first_elapsed = stopwatch.time([&] { experiment.sort_first(first, N); });
                    keep_memory(first);
                    record.note(0, I, J, first_elapsed, stopwatch.elapsed_nanoseconds(), stopwatch.evidence());
                    const std::int32_t second_elapsed = stopwatch.time([&] { experiment.sort_second(second, N); });
                    keep_memory(second);
                    record.note(1, I, J, second_elapsed, stopwatch.elapsed_nanoseconds(), stopwatch.evidence());

                    first_table[I * columns + J] = short_form::SPRACUJ(first_elapsed);
                    second_table[I * columns + J] = short_form::SPRACUJ(second_elapsed);
                    progress.clear();
                    append_integer(progress, static_cast<std::int64_t>(I) + 1);
                    progress += ' ';
                    append_integer(progress, static_cast<std::int64_t>(J) + 1);
                    console.write_line(progress);
                  });

  const std::span<const TimeCell> first_cells(first_table.data(), rows * columns);
  const std::span<const TimeCell> second_cells(second_table.data(), rows * columns);
  if (plan.tables_on_console) {
    ActiveRoutine routine("VYPIS_NA_OBR");
    write_two_tables(console, plan.layout, plan.lengths, columns, first_cells, second_cells);
  }
  {
    ActiveRoutine routine("ZAPIS_DO_SUB");
    write_two_tables(PROTOKOL, plan.layout, plan.lengths, columns, first_cells, second_cells);
  }
  PROTOKOL.close();
  record.write(seed);
}

}  // namespace kit
