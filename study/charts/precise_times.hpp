// The precise times behind a results file's cells: the nanoseconds that
// the runs' records hold for each cell, as a median with its interval, so
// the charts need not draw what the 0.01 s clock rounded away.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "analysis/records/program_grid.hpp"
#include "analysis/records/result_file.hpp"
#include "analysis/statistics/ratio_estimate.hpp"

namespace study {

// A cell's time over the recorded runs, in seconds.
struct PreciseTime {
  double median = 0;
  double low = 0;  // the interval of the median; equal to it for one run
  double high = 0;
  std::size_t runs = 0;
  bool disturbed = false;  // a run's window of the cell lost the processor to other work

  bool has_interval() const { return runs > 1; }
};

// One table of a results file joined to the record's table of the same
// name: per row and per column of the file the record's index, found once
// by label, so each cell is then reached by its position.
class PreciseTable {
 public:
  PreciseTable() = default;  // nothing recorded for the table
  PreciseTable(const analysis::TableGrid& grid, std::span<const std::int64_t> rows,
               std::span<const std::string> columns);

  // The samples of the file's cell; empty when no complete run measured it.
  std::span<const analysis::Sample> samples(std::size_t row, std::size_t column) const;
  std::optional<PreciseTime> time(std::size_t row, std::size_t column) const;

 private:
  const analysis::TableGrid* grid_ = nullptr;
  std::vector<std::optional<std::size_t>> rows_;
  std::vector<std::optional<std::size_t>> columns_;
};

// numerator / denominator at the same cell of two tables, paired by run:
// both kernels of a cell sorted copies of the same data.
std::optional<analysis::RatioEstimate> precise_ratio(const PreciseTable& numerator, const PreciseTable& denominator,
                                                     std::size_t row, std::size_t column);

class PreciseTimes {
 public:
  PreciseTimes() = default;  // no record: the charts keep to the cells
  explicit PreciseTimes(analysis::ProgramGrid grid);

  bool empty() const { return runs() == 0; }
  std::size_t runs() const { return grid_.repeats(); }

  // The record's table of this name joined to a results file's row and
  // column labels; it reads this object's grid, so it must not outlive it.
  PreciseTable table(std::string_view name, std::span<const std::int64_t> rows,
                     std::span<const std::string> columns) const;

 private:
  analysis::ProgramGrid grid_;
};

// The precise times of the run that wrote `result`: the record.csv beside
// `results_path`, when there is one, it holds every window of the same
// program, and every window's hundredths are the file's cell. Anything else
// (no record, an unreadable or foreign one, a run cut short) gives none.
PreciseTimes precise_times_beside(const std::filesystem::path& results_path, const analysis::ResultFile& result);

}  // namespace study
