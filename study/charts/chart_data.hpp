// What the charts draw of a results file and the precise times of its run's
// record: per cell one time chosen by one rule, per pair of cells one ratio,
// and the coverage their intervals hold. This is the only layer that reads
// the results file and the record; the charts draw what it gives them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/records/result_file.hpp"
#include "analysis/statistics/ratio_estimate.hpp"
#include "analysis/statistics/run_comparison.hpp"
#include "study/charts/chart_file.hpp"
#include "study/charts/precise_times.hpp"

namespace study {

// Where a drawn time comes from.
enum class ValueSource {
  none,              // nothing to draw: the clock went back during the cell
  precise,           // the median of the record's precise times
  cell,              // the cell as the results file shows it
  below_resolution,  // a cell of 0: less than the clock's resolution
};

// (low, high) around a drawn value.
using ValueInterval = std::pair<double, double>;

struct ChartValue {
  ValueSource source = ValueSource::none;
  // Seconds: the median, the cell, or below the resolution the resolution
  // itself, an upper bound.
  double value = 0;
  std::optional<ValueInterval> interval;   // the median's, from two runs on
  std::optional<std::int64_t> hundredths;  // the cell as the file shows it
  bool disturbed = false;                  // a window of a precise time lost the processor to other work

  bool shown() const { return source != ValueSource::none; }
  bool below_resolution() const { return source == ValueSource::below_resolution; }
  // What an axis must hold of it: the interval, else the value.
  double low() const { return interval ? interval->first : value; }
  double high() const { return interval ? interval->second : value; }
  // What cells are ranked by: a cell below the resolution is faster than
  // every cell that shows a time.
  double rank() const { return below_resolution() ? 0 : value; }
  // The value and its interval times `factor`, e.g. per array of a batch.
  ChartValue scaled(double factor) const;
};

// The times a time axis must hold: one to ten hundredths at least, widened
// by every time shown with its interval. A cell below the resolution sits
// at the resolution, inside already.
struct TimeSpan {
  double lo = kResolutionSeconds;
  double hi = kResolutionSeconds * 10;

  void widen(const ChartValue& value);
};

// The rule of every chart: the precise median, with its interval when the
// runs give one, when the record holds the cell; else the cell as the file
// shows it; else, for a cell of 0, the resolution as an upper bound.
// Nothing for a negative cell (the clock went back) or none at all.
ChartValue chart_value(const std::optional<PreciseTime>& precise, std::optional<std::int64_t> hundredths);

// The ratio of two time cells, where a cell of 00:00.00 only says "less
// than one hundredth", so the ratio may be a bound rather than a value.
struct Ratio {
  double value = 1;  // the ratio, or the bound the zero cell allows
  int bound = 0;     // -1: at most value, +1: at least value, 0: exact
  bool known = false;

  // +1 the numerator's algorithm is slower, -1 it is faster, 0 a tie or undecided.
  int side() const;
};

// numerator / denominator in hundredths; unknown when either is negative
// (the clock went back) or both are zero.
Ratio ratio_of(std::int64_t numerator, std::int64_t denominator);

// "2.0×", "0.20×", "<0.05×", ">12×"; an en dash when unknown.
std::string ratio_text(const Ratio& ratio);

struct ChartRatio {
  Ratio ratio;                            // known, value, and whether it is only a bound
  std::optional<ValueInterval> interval;  // the paired ratios', from two runs on
  bool disturbed = false;                 // a window of either cell lost the processor to other work

  // The interval holds 1: the runs do not say which side is faster.
  bool undecided() const { return interval && interval->first <= 1 && 1 <= interval->second; }
};

// The ratio rule: the median of the runs' paired ratios, with its interval
// when it has some coverage; else the cells' ratio, a bound when one is 0.
ChartRatio chart_ratio(const std::optional<analysis::RatioEstimate>& precise, std::int64_t numerator,
                       std::int64_t denominator);

// The coverage the intervals of a chart hold.
struct Coverage {
  std::size_t runs = 0;  // behind each median; 0 when unknown or there is no record
  double fraction = 0;   // the probability that an interval holds its value; 0 for none
  bool nominal = false;  // the conventional 95 % reached
  bool varies = false;   // intervals differ, `fraction` is the lowest
};

// The coverage of medians (and of ratios paired by run) over `runs` runs.
Coverage median_coverage(std::size_t runs);

// The coverage of the comparison's intervals: the lowest among its cells.
Coverage comparison_coverage(const std::vector<analysis::RatioSeries>& series);

// A column label that is a number ("10000", "23"), else nothing.
std::optional<double> numeric_label(std::string_view label);

// A table of the file as the charts see it.
struct ChartTable {
  std::string name;
  std::vector<std::int64_t> rows;  // lengths
  std::vector<std::string> columns;
  std::vector<ChartValue> values;  // row by row

  const ChartValue& at(std::size_t row, std::size_t column) const { return values[row * columns.size() + column]; }
};

// The duel's two sorts, as its record names their tables.
inline constexpr std::array<std::string_view, 2> kDuelSorts{
    analysis::first_of(analysis::ProgramFamily::file_duel).record_tables[0].name,
    analysis::first_of(analysis::ProgramFamily::file_duel).record_tables[1].name};

// One input of the duel: both sorts' times on it.
struct DuelTimes {
  std::int64_t number = 0;
  std::int64_t count = 0;
  std::int64_t range = 0;
  std::array<ChartValue, 2> times;  // quicksort, counting sort
};

class ChartData {
 public:
  // Both are read while the data lives, so neither may be a temporary.
  ChartData(const analysis::ResultFile& result, const PreciseTimes& precise);
  ChartData(const analysis::ResultFile&&, const PreciseTimes&) = delete;
  ChartData(const analysis::ResultFile&, const PreciseTimes&&) = delete;

  const std::vector<ChartTable>& tables() const { return tables_; }
  const std::vector<DuelTimes>& duel() const { return duel_; }
  // Arrays sorted per cell: a file of one of the suite's programs says, any other counts one.
  std::int64_t arrays_per_cell() const;
  // numerator / denominator (tables by index) at one cell; the first table's labels name it.
  ChartRatio ratio(std::size_t numerator, std::size_t denominator, std::size_t row, std::size_t column) const;

  bool precise() const { return coverage_.runs > 0; }
  const Coverage& coverage() const { return coverage_; }

 private:
  const analysis::ResultFile& result_;
  std::vector<PreciseTable> precise_tables_;  // per table of the file; they read the PreciseTimes' grid
  std::vector<ChartTable> tables_;
  std::vector<DuelTimes> duel_;
  Coverage coverage_;
};

}  // namespace study
