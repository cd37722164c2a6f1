// The work a replay counted on a run's data, placed by the labels the
// program's tables and record use, and the time per operation that the
// cell's median precise time gives.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/programs/suite_programs.hpp"
#include "analysis/records/program_grid.hpp"
#include "kit/cell_work.hpp"

namespace analysis {

struct LabelledWork {
  std::string table;  // as the record names it
  std::string row;
  std::string column;
  std::int64_t n = 0;  // elements per array: the row's length (the duel: its input's count)
  kit::CellWork work;
};

// The work of one program's run, counted on the data of that run.
struct ProgramWork {
  std::string program;
  int repeat = 1;
  std::uint32_t seed = 0;
  double seconds = 0;  // the replay's wall time
  std::vector<LabelledWork> cells{};

  const LabelledWork* find(std::string_view table, std::string_view row, std::string_view column) const;
  // The cell of `kernel` at these labels; an empty column matches any, as
  // a sort's own series of a small-array table has no column.
  const LabelledWork* find_by_kernel(std::string_view kernel, std::string_view row, std::string_view column) const;
};

// The replay's cells, labelled from the program's description.
ProgramWork label_work(const SuiteProgram& program, int repeat, std::uint32_t seed, std::vector<kit::CellWork> cells);

// What one operation of a cell took: the median precise time of its
// undisturbed windows (of all, when every one was disturbed), per array of
// the batch, divided by the counts per array.
struct OperationTimes {
  double nanoseconds_per_array = 0;
  std::optional<double> per_comparison{};  // none for a sort that compares nothing
  std::optional<double> per_move{};
  std::optional<double> per_operation{};  // see operations()
};
std::optional<OperationTimes> operation_times(const ProgramGrid& grid, const LabelledWork& cell);

// The operations a sort's time is divided by: comparisons, or for counting
// sort, which compares nothing, its counter increments and positions scanned.
double operations(const kit::WorkCounts& counts);

// Comparisons and moves per element of one array: the counts per array over n.
double per_element(const kit::CellWork& work, std::int64_t count, std::int64_t n);

}  // namespace analysis
