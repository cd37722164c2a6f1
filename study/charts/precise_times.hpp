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

  bool has_interval() const { return runs > 1; }
};

class PreciseTimes {
 public:
  PreciseTimes() = default;  // no record: the charts keep to the cells
  explicit PreciseTimes(analysis::ProgramGrid grid);

  bool empty() const { return runs() == 0; }
  std::size_t runs() const { return grid_.repeats(); }

  // The samples of one cell; empty when no complete run measured it.
  std::span<const analysis::Sample> samples(std::string_view table, std::int64_t row, std::string_view column) const;

  std::optional<PreciseTime> time(std::string_view table, std::int64_t row, std::string_view column) const;

  // numerator / denominator of one cell, paired by run: both kernels of a
  // cell sorted copies of the same data.
  std::optional<analysis::RatioEstimate> ratio(std::string_view numerator, std::string_view denominator,
                                               std::int64_t row, std::string_view column) const;

 private:
  analysis::ProgramGrid grid_;
};

// The precise times of the run that wrote `result`: the record.csv beside
// `results_path`, when there is one, it holds every window of the same
// program, and every window's hundredths are the file's cell. Anything else
// (no record, an unreadable or foreign one, a run cut short) gives none.
PreciseTimes precise_times_beside(const std::filesystem::path& results_path, const analysis::ResultFile& result);

}  // namespace study
