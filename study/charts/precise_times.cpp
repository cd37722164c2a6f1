#include "study/charts/precise_times.hpp"

#include <algorithm>
#include <map>
#include <stdexcept>

#include "analysis/statistics/cell_statistics.hpp"
#include "study/model/record_file.hpp"
#include "study/model/run_folder_layout.hpp"
#include "study/os/tool_error.hpp"

namespace study {
namespace {

constexpr double kNanosecondsPerSecond = 1e9;

}  // namespace

PreciseTimes::PreciseTimes(analysis::ProgramGrid grid) : grid_(std::move(grid)) {}

PreciseTable::PreciseTable(const analysis::TableGrid& grid, std::span<const std::int64_t> rows,
                           std::span<const std::string> columns)
    : grid_(&grid) {
  rows_.reserve(rows.size());
  for (const std::int64_t row : rows) rows_.push_back(grid.row_index(std::to_string(row)));
  columns_.reserve(columns.size());
  for (const std::string& column : columns) columns_.push_back(grid.column_index(column));
}

std::span<const analysis::Sample> PreciseTable::samples(std::size_t row, std::size_t column) const {
  if (grid_ == nullptr || !rows_[row] || !columns_[column]) return {};
  return grid_->cell(*rows_[row], *columns_[column]);
}

std::optional<PreciseTime> PreciseTable::time(std::size_t row, std::size_t column) const {
  const std::span<const analysis::Sample> cell = samples(row, column);
  if (cell.empty()) return std::nullopt;
  const analysis::CellStatistics statistics = analysis::cell_statistics(cell);
  // A window below the clock's tick reads 0 ns: kept positive for the log scales.
  const auto in_seconds = [](double nanoseconds) {
    return analysis::positive_time(nanoseconds) / kNanosecondsPerSecond;
  };
  return PreciseTime{in_seconds(statistics.median), in_seconds(statistics.median_interval.low),
                     in_seconds(statistics.median_interval.high), statistics.count,
                     std::any_of(cell.begin(), cell.end(), [](const analysis::Sample& s) { return s.disturbed; })};
}

std::optional<analysis::RatioEstimate> precise_ratio(const PreciseTable& numerator, const PreciseTable& denominator,
                                                     std::size_t row, std::size_t column) {
  const std::span<const analysis::Sample> top = numerator.samples(row, column);
  const std::span<const analysis::Sample> bottom = denominator.samples(row, column);
  if (top.empty() || bottom.empty()) return std::nullopt;
  return analysis::ratio_estimate(top, bottom, analysis::Pairing::by_repeat);
}

PreciseTable PreciseTimes::table(std::string_view name, std::span<const std::int64_t> rows,
                                 std::span<const std::string> columns) const {
  const analysis::TableGrid* grid = grid_.table(name);
  return grid == nullptr ? PreciseTable() : PreciseTable(*grid, rows, columns);
}

PreciseTimes precise_times_beside(const std::filesystem::path& results_path, const analysis::ResultFile& result) {
  std::optional<analysis::RecordedRun> record;
  try {
    record = read_record(results_path.parent_path() / run_files::kRecordFile, 1);
  } catch (const ToolError&) {
    return {};  // not a record: the cells are all there is
  }
  if (!record || !record->all_windows() || record->windows != result.cell_count()) return {};
  if (result.program != nullptr && record->program != result.program->name) return {};
  std::map<analysis::CellLabel, std::int64_t> shown;
  for (analysis::LabelledCell& cell : result.labelled_cells()) shown.emplace(std::move(cell.label), cell.hundredths);
  analysis::MeasurementSet set;
  try {
    for (analysis::Measurement& measurement : record->measurements) {
      // A record of another run of the program does not agree with this file's cells.
      const auto cell = shown.find({measurement.table, measurement.row, measurement.column});
      if (cell == shown.end() || cell->second != measurement.hundredths) return {};
      set.add(std::move(measurement));
    }
  } catch (const std::invalid_argument&) {
    return {};
  }
  return PreciseTimes(analysis::program_grid(set, record->program));
}

}  // namespace study
