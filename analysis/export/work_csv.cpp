#include "analysis/export/work_csv.hpp"

#include <fmt/format.h>

#include <cstdint>
#include <optional>
#include <string_view>

#include "kit/record/csv_fields.hpp"

namespace analysis {
namespace {

// Counts are per array of the batch (see the header): an exact count as an integer, a sample's mean with two decimals.
std::string count_field(const kit::CellWork& work, std::int64_t total) {
  if (!work.sampled()) return std::to_string(total);
  return fmt::format("{:.2f}", work.per_array(total));
}

std::string optional_field(const std::optional<double>& value, int decimals) {
  return value ? fmt::format("{:.{}f}", *value, decimals) : std::string();
}

}  // namespace

std::string work_csv(const ProgramWork& work, const ProgramGrid* grid) {
  std::string csv =
      "program,table,row_label,column_label,kernel,repeat,seed,arrays,counted_arrays,comparisons,copies,"
      "assignments,reads,writes,swaps,calls,max_depth,increments,scanned,comparisons_error,moves_error,"
      "ns_per_array,ns_per_comparison,ns_per_move\r\n";
  for (const LabelledWork& cell : work.cells) {
    for (const std::string_view label :
         {std::string_view(work.program), std::string_view(cell.table), std::string_view(cell.row),
          std::string_view(cell.column), std::string_view(cell.work.kernel)}) {
      kit::csv::append_field(csv, label);
      csv += ',';
    }
    const kit::CellWork& w = cell.work;
    const kit::WorkCounts& t = w.total;
    csv += fmt::format("{},{},{},{},", work.repeat, work.seed, w.arrays, w.counted_arrays);
    csv += count_field(w, t.comparisons) + ',';
    for (const std::int64_t total : {t.copies, t.assignments, t.reads(), t.writes(), t.swaps}) {
      csv += (kit::counts_moves(w.kernel) ? count_field(w, total) : std::string()) + ',';
    }
    csv += count_field(w, t.calls) + ',';
    csv += std::to_string(t.max_depth) + ',';
    csv += count_field(w, t.increments) + ',' + count_field(w, t.scanned) + ',';
    csv += fmt::format("{:.3f},{:.3f},", w.comparisons_error, w.moves_error);
    const std::optional<OperationTimes> times = grid != nullptr ? operation_times(*grid, cell) : std::nullopt;
    csv += times ? fmt::format("{:.1f}", times->nanoseconds_per_array) : std::string();
    csv += ',';
    csv += times ? optional_field(times->per_comparison, 4) : std::string();
    csv += ',';
    csv += times && kit::counts_moves(w.kernel) ? optional_field(times->per_move, 4) : std::string();
    csv += "\r\n";
  }
  return csv;
}

}  // namespace analysis
