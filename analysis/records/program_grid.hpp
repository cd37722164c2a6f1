// The complete runs of one program arranged as its tables: per cell the
// samples of every finished run, rows and columns in the order the program
// measured them. Incomplete runs are kept aside, by name only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/programs/suite_programs.hpp"
#include "analysis/records/measurement.hpp"

namespace analysis {

// One run's time for one cell.
struct Sample {
  int repeat = 0;
  std::uint32_t seed = 0;
  std::int64_t hundredths = 0;
  std::int64_t nanoseconds = 0;
  bool disturbed = false;  // the window lost the processor to other work
};

// One table (or one series of cells): rows by columns, each cell the samples
// of the complete runs in repeat order. A cell no run measured stays empty.
// Labels are found through an index, not by scanning: add rows, columns and
// samples only through at().
class TableGrid {
 public:
  struct Position {
    std::size_t row = 0;
    std::size_t column = 0;
  };

  TableGrid() = default;
  explicit TableGrid(std::string table_name) : name(std::move(table_name)) {}

  std::string name;
  std::vector<std::string> rows;
  std::vector<std::string> columns;
  std::vector<std::vector<Sample>> cells;  // row by row
  std::vector<Position> positions;         // the measured cells, in the order first measured
  std::vector<std::string> kernels;        // per column: the sort its cells timed, empty when unknown
  bool kernels_by_column = false;          // the columns are sorts of their own, not one sort's settings

  const std::vector<Sample>& cell(std::size_t row, std::size_t column) const {
    return cells[row * columns.size() + column];
  }
  std::vector<Sample>& cell(std::size_t row, std::size_t column) { return cells[row * columns.size() + column]; }
  std::optional<std::size_t> row_index(std::string_view label) const;
  std::optional<std::size_t> column_index(std::string_view label) const;

  // The cell at these labels, adding the row, the column and the position
  // when they are new. The caller adds at least one sample to it.
  std::vector<Sample>& at(std::string_view row, std::string_view column);

 private:
  using Index = std::map<std::string, std::size_t, std::less<>>;

  std::size_t add_row(std::string_view label);
  std::size_t add_column(std::string_view label);

  Index row_indices_;
  Index column_indices_;
};

struct ProgramGrid {
  std::string program;
  const SuiteProgram* facts = nullptr;  // the program's parameters, when it is one of the suite's
  std::vector<TableGrid> tables;
  std::vector<RunSummary> complete_runs;  // by repeat
  std::vector<RunSummary> incomplete_runs;
  // The run-to-run spread per cell (relative) that the study measured on
  // the machine before the runs; absent when the runs' folder holds none.
  std::optional<double> calibrated_spread;

  std::size_t repeats() const { return complete_runs.size(); }
  // How the program names its rows and columns; "row" and "column" for a program the suite does not know.
  Axes axes() const { return facts != nullptr ? facts->axes : Axes{}; }
  const TableGrid* table(std::string_view name) const;
  // The windows of the complete runs that lost the processor to other work, and all of them.
  std::size_t disturbed_windows() const;
  std::size_t windows() const;
};

// The tables of one program from the complete runs of the set.
ProgramGrid program_grid(const MeasurementSet& set, std::string_view program);

// Every program of the set, in order of first appearance.
std::vector<ProgramGrid> program_grids(const MeasurementSet& set);

}  // namespace analysis
