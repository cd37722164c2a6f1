#include "analysis/statistics/cell_work.hpp"

#include <algorithm>
#include <string>
#include <utility>

#include "analysis/statistics/cell_statistics.hpp"

namespace analysis {
namespace {

std::string decimal(std::int64_t value) { return std::to_string(value); }

// The record's column label of a cell: the duel's inputs stand in row I and
// column I, labelled with their range; the other programs' columns as their
// headers give them.
std::string column_label(const SuiteProgram& program, std::size_t column) {
  if (program.family == ProgramFamily::file_duel) return decimal(program.layout.ranges[column]);
  return std::string(program.columns[column].label.view());
}

}  // namespace

const LabelledWork* ProgramWork::find(std::string_view table, std::string_view row, std::string_view column) const {
  for (const LabelledWork& cell : cells) {
    if (cell.table == table && cell.row == row && cell.column == column) return &cell;
  }
  return nullptr;
}

const LabelledWork* ProgramWork::find_by_kernel(std::string_view kernel, std::string_view row,
                                                std::string_view column) const {
  for (const LabelledWork& cell : cells) {
    if (cell.work.kernel == kernel && cell.row == row && (column.empty() || cell.column == column)) return &cell;
  }
  return nullptr;
}

ProgramWork label_work(const SuiteProgram& program, int repeat, std::uint32_t seed, std::vector<kit::CellWork> cells) {
  ProgramWork work{.program = std::string(program.name), .repeat = repeat, .seed = seed};
  work.cells.reserve(cells.size());
  for (kit::CellWork& cell : cells) {
    std::string table(program.record_tables[cell.table].name);
    const std::int64_t n = program.layout.rows[cell.row];
    std::string column = column_label(program, cell.column);
    work.cells.push_back({std::move(table), decimal(n), std::move(column), n, std::move(cell)});
  }
  return work;
}

std::optional<OperationTimes> operation_times(const ProgramGrid& grid, const LabelledWork& cell) {
  const TableGrid* table = grid.table(cell.table);
  if (table == nullptr) return std::nullopt;
  const auto row = table->row_index(cell.row);
  const auto column = table->column_index(cell.column);
  if (!row || !column) return std::nullopt;
  const std::vector<Sample>& samples = table->cell(*row, *column);
  std::vector<double> kept;
  for (const Sample& sample : samples) {
    if (!sample.disturbed) kept.push_back(static_cast<double>(sample.nanoseconds));
  }
  if (kept.empty()) {
    for (const Sample& sample : samples) kept.push_back(static_cast<double>(sample.nanoseconds));
  }
  if (kept.empty()) return std::nullopt;
  std::ranges::sort(kept);
  const double median = sorted_median(kept);

  OperationTimes times{.nanoseconds_per_array = median / static_cast<double>(cell.work.arrays)};
  const double comparisons = cell.work.per_array(cell.work.total.comparisons);
  const double moves = cell.work.per_array(kit::moves(cell.work.total));
  if (comparisons > 0) times.per_comparison = times.nanoseconds_per_array / comparisons;
  if (moves > 0) times.per_move = times.nanoseconds_per_array / moves;
  const double steps = operations(cell.work.total) / static_cast<double>(cell.work.counted_arrays);
  if (steps > 0) times.per_operation = times.nanoseconds_per_array / steps;
  return times;
}

double operations(const kit::WorkCounts& counts) {
  return static_cast<double>(counts.comparisons > 0 ? counts.comparisons : counts.increments + counts.scanned);
}

double per_element(const kit::CellWork& work, std::int64_t count, std::int64_t n) {
  return n > 0 ? work.per_array(count) / static_cast<double>(n) : 0;
}

}  // namespace analysis
