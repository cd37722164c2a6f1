#include "study/charts/precise_times.hpp"

#include <map>
#include <stdexcept>

#include "analysis/statistics/cell_statistics.hpp"
#include "study/os/tool_error.hpp"
#include "study/run/record_file.hpp"

namespace study {
namespace {

constexpr double kNanosecondsPerSecond = 1e9;

}  // namespace

PreciseTimes::PreciseTimes(analysis::ProgramGrid grid) : grid_(std::move(grid)) {}

std::span<const analysis::Sample> PreciseTimes::samples(std::string_view table, std::int64_t row,
                                                        std::string_view column) const {
  const analysis::TableGrid* grid = grid_.table(table);
  if (grid == nullptr) return {};
  const auto r = grid->row_index(std::to_string(row));
  const auto c = grid->column_index(column);
  if (!r || !c) return {};
  return grid->cell(*r, *c);
}

std::optional<PreciseTime> PreciseTimes::time(std::string_view table, std::int64_t row, std::string_view column) const {
  const std::span<const analysis::Sample> cell = samples(table, row, column);
  if (cell.empty()) return std::nullopt;
  const analysis::CellStatistics statistics = analysis::cell_statistics(cell);
  // A window below the clock's tick reads 0 ns: kept positive for the log scales.
  const auto in_seconds = [](double nanoseconds) {
    return analysis::positive_time(nanoseconds) / kNanosecondsPerSecond;
  };
  return PreciseTime{in_seconds(statistics.median), in_seconds(statistics.median_interval.low),
                     in_seconds(statistics.median_interval.high), statistics.count};
}

std::optional<analysis::RatioEstimate> PreciseTimes::ratio(std::string_view numerator, std::string_view denominator,
                                                           std::int64_t row, std::string_view column) const {
  const std::span<const analysis::Sample> top = samples(numerator, row, column);
  const std::span<const analysis::Sample> bottom = samples(denominator, row, column);
  if (top.empty() || bottom.empty()) return std::nullopt;
  return analysis::ratio_estimate(top, bottom, analysis::Pairing::by_repeat);
}

PreciseTimes precise_times_beside(const std::filesystem::path& results_path, const analysis::ResultFile& result) {
  std::optional<analysis::RecordedRun> record;
  try {
    record = read_record(results_path.parent_path() / kRecordFileName, 1);
  } catch (const ToolError&) {
    return {};  // not a record: the cells are all there is
  }
  if (!record || !record->all_windows() || record->windows != result.cell_count()) return {};
  if (result.program != nullptr && record->program != result.program->name()) return {};
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
