#include "study/charts/chart_data.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "analysis/statistics/order_statistics.hpp"
#include "analysis/text/text_format.hpp"

namespace study {
namespace {

ChartTable chart_table(const analysis::CellTable& cells, const PreciseTable& precise) {
  ChartTable table{cells.name, cells.row_labels, cells.column_labels, {}};
  table.values.reserve(cells.hundredths.size());
  for (std::size_t row = 0; row < cells.row_labels.size(); ++row) {
    for (std::size_t column = 0; column < cells.column_labels.size(); ++column) {
      table.values.push_back(chart_value(precise.time(row, column), cells.cell(row, column)));
    }
  }
  return table;
}

// Each input of the duel is one cell of each sort's table: the row of its
// count and the column of its range.
std::vector<DuelTimes> duel_times(const std::vector<analysis::DuelInput>& inputs, const PreciseTimes& precise) {
  std::vector<std::int64_t> counts;
  std::vector<std::string> ranges;
  for (const analysis::DuelInput& input : inputs) {
    counts.push_back(input.count);
    ranges.push_back(std::to_string(input.range));
  }
  std::array<PreciseTable, kDuelSorts.size()> tables;
  for (std::size_t sort = 0; sort < kDuelSorts.size(); ++sort)
    tables[sort] = precise.table(kDuelSorts[sort], counts, ranges);
  std::vector<DuelTimes> duel;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    const analysis::DuelInput& input = inputs[i];
    const std::array<std::int64_t, 2> cells{input.quicksort, input.countingsort};
    DuelTimes& times = duel.emplace_back(DuelTimes{input.number, input.count, input.range, {}});
    for (std::size_t sort = 0; sort < kDuelSorts.size(); ++sort) {
      times.times[sort] = chart_value(tables[sort].time(i, i), cells[sort]);
    }
  }
  return duel;
}

}  // namespace

std::optional<double> numeric_label(std::string_view label) {
  double value = 0;
  const auto [end, error] = std::from_chars(label.data(), label.data() + label.size(), value);
  if (error != std::errc() || end != label.data() + label.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

ChartValue ChartValue::scaled(double factor) const {
  ChartValue result = *this;
  result.value *= factor;
  if (interval) result.interval = ValueInterval(interval->first * factor, interval->second * factor);
  return result;
}

void TimeSpan::widen(const ChartValue& value) {
  if (value.source != ValueSource::precise && value.source != ValueSource::cell) return;
  lo = std::min(lo, value.low());
  hi = std::max(hi, value.high());
}

ChartValue chart_value(const std::optional<PreciseTime>& precise, std::optional<std::int64_t> hundredths) {
  ChartValue result;
  result.hundredths = hundredths;
  if (precise) {
    result.source = ValueSource::precise;
    result.value = precise->median;
    result.disturbed = precise->disturbed;
    if (precise->has_interval()) result.interval = ValueInterval(precise->low, precise->high);
  } else if (hundredths && *hundredths > 0) {
    result.source = ValueSource::cell;
    result.value = seconds(*hundredths);
  } else if (hundredths && *hundredths == 0) {
    result.source = ValueSource::below_resolution;
    result.value = kResolutionSeconds;
  }
  return result;
}

int Ratio::side() const {
  if (!known) return 0;
  if (bound == 0) return value > 1 ? 1 : value < 1 ? -1 : 0;
  if (bound < 0) return value <= 1 ? -1 : 0;
  return value >= 1 ? 1 : 0;
}

Ratio ratio_of(std::int64_t numerator, std::int64_t denominator) {
  if (numerator < 0 || denominator < 0 || (numerator == 0 && denominator == 0)) return {};
  if (numerator == 0) return {.value = 1.0 / static_cast<double>(denominator), .bound = -1, .known = true};
  if (denominator == 0) return {.value = static_cast<double>(numerator), .bound = 1, .known = true};
  return {.value = static_cast<double>(numerator) / static_cast<double>(denominator), .bound = 0, .known = true};
}

std::string ratio_text(const Ratio& ratio) {
  if (!ratio.known) return "\xe2\x80\x93";
  const std::string bound = ratio.bound < 0 ? "<" : ratio.bound > 0 ? ">" : "";
  return bound + analysis::format_factor(ratio.value, analysis::FactorForm::cell);
}

ChartRatio chart_ratio(const std::optional<analysis::RatioEstimate>& precise, std::int64_t numerator,
                       std::int64_t denominator) {
  if (!precise) return {.ratio = ratio_of(numerator, denominator), .interval = std::nullopt};
  ChartRatio result{.ratio = {.value = precise->ratio, .bound = 0, .known = true}, .interval = std::nullopt};
  // A single pair (coverage 0) gives a ratio but no interval.
  if (precise->interval.coverage > 0) result.interval = ValueInterval(precise->interval.low, precise->interval.high);
  return result;
}

Coverage median_coverage(std::size_t runs) {
  if (runs < 2) return {.runs = runs};  // one run or none: no interval
  const analysis::RankInterval ranks = analysis::median_rank_interval(runs);
  return {.runs = runs, .fraction = ranks.coverage, .nominal = ranks.reaches_nominal};
}

Coverage comparison_coverage(const std::vector<analysis::RatioSeries>& series) {
  Coverage coverage;
  bool any = false;
  for (const analysis::RatioSeries& one : series) {
    for (const analysis::RatioPoint& point : one.points) {
      if (point.coverage <= 0) continue;
      coverage.varies |= any && point.coverage != coverage.fraction;
      coverage.fraction = any ? std::min(coverage.fraction, point.coverage) : point.coverage;
      any = true;
    }
  }
  coverage.nominal = any && coverage.fraction >= analysis::nominal_coverage;
  return coverage;
}

ChartData::ChartData(const analysis::ResultFile& result, const PreciseTimes& precise)
    : result_(result), coverage_(median_coverage(precise.runs())) {
  for (const analysis::CellTable& cells : result.tables) {
    precise_tables_.push_back(precise.table(cells.name, cells.row_labels, cells.column_labels));
    tables_.push_back(chart_table(cells, precise_tables_.back()));
  }
  duel_ = duel_times(result.inputs, precise);
}

std::int64_t ChartData::arrays_per_cell() const { return result_.program ? result_.program->arrays_per_cell : 1; }

ChartRatio ChartData::ratio(std::size_t numerator, std::size_t denominator, std::size_t row, std::size_t column) const {
  const analysis::CellTable& top = result_.tables[numerator];
  const analysis::CellTable& bottom = result_.tables[denominator];
  ChartRatio ratio = chart_ratio(precise_ratio(precise_tables_[numerator], precise_tables_[denominator], row, column),
                                 top.cell(row, column), bottom.cell(row, column));
  ratio.disturbed = tables_[numerator].at(row, column).disturbed || tables_[denominator].at(row, column).disturbed;
  return ratio;
}

}  // namespace study
