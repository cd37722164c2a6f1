#include <fmt/format.h>

#include <algorithm>

#include "kit/kernel_names.hpp"
#include "study/charts/chart_text.hpp"
#include "study/charts/family_charts.hpp"
#include "study/charts/line_plot.hpp"

namespace study {
namespace {

using namespace svg;

// Times below ten hundredths move in steps of 10% or more: such lines are drawn pale.
constexpr std::int64_t kCoarseHundredths = 10;

// A tie of more cutoffs than this says the clock could not tell them apart: nothing to mark.
constexpr std::size_t kMostMarkedTies = 3;

// The tables of the file: recursive quicksort first, combined second.
constexpr std::size_t kRecursive = 0;
constexpr std::size_t kCombined = 1;

// The cutoffs of one length whose combined time is the lowest.
struct Fastest {
  double time = -1;  // negative when no cutoff has a time
  std::vector<std::string> cutoffs;

  bool marked() const { return !cutoffs.empty() && cutoffs.size() <= kMostMarkedTies; }
};

// Is `time` the fastest one's? Cells are ranked by their times, the ones below the resolution first.
bool is_fastest(const ChartValue& time, double fastest) { return time.shown() && time.rank() == fastest; }

Fastest fastest_cutoffs(const ChartData& data, std::size_t row) {
  const ChartTable& combined = data.tables()[kCombined];
  const std::vector<std::string>& cutoffs = data.tables()[kRecursive].columns;
  Fastest fastest;
  for (std::size_t column = 0; column < cutoffs.size(); ++column) {
    const ChartValue& time = combined.at(row, column);
    if (time.shown() && (fastest.time < 0 || time.rank() < fastest.time)) fastest.time = time.rank();
  }
  for (std::size_t column = 0; column < cutoffs.size(); ++column) {
    if (is_fastest(combined.at(row, column), fastest.time)) fastest.cutoffs.push_back(cutoffs[column]);
  }
  return fastest;
}

// From the cells alone, a length whose slowest recursive time is a few hundredths.
bool coarse(const ChartData& data, std::size_t row) {
  if (data.precise()) return false;
  const ChartTable& recursive = data.tables()[kRecursive];
  std::int64_t slowest = 0;
  for (std::size_t column = 0; column < recursive.columns.size(); ++column) {
    slowest = std::max(slowest, recursive.at(row, column).hundredths.value_or(0));
  }
  return slowest < kCoarseHundredths;
}

std::string series_label(std::int64_t length, const Fastest& fastest, std::size_t hidden, bool faint) {
  std::string label = "n = " + format_tick(static_cast<double>(length), TickFormat::count);
  if (fastest.marked()) {
    label += ", best";
    for (const std::string& cutoff : fastest.cutoffs) label += " " + cutoff;
  } else if (!fastest.cutoffs.empty()) {
    label += ", " + std::to_string(fastest.cutoffs.size()) + " tied";
  }
  if (hidden > 0) {
    label += " (" + std::to_string(hidden) + " below 0.01 s)";
  } else if (faint) {
    label += " (< 0.1 s, coarse)";
  }
  return label;
}

// One length: combined over recursive time at each cutoff, the fastest marked.
PlotSeries length_series(const ChartData& data, std::size_t row, const std::vector<double>& cutoffs) {
  const ChartTable& recursive = data.tables()[kRecursive];
  const ChartTable& combined = data.tables()[kCombined];
  const std::size_t rows = recursive.rows.size();
  const Fastest fastest = fastest_cutoffs(data, row);
  PlotSeries series;
  series.faint = coarse(data, row);
  series.key = std::to_string(recursive.rows[row]);
  series.color = ordered_color(rows > 1 ? static_cast<double>(row) / static_cast<double>(rows - 1) : 0);
  std::size_t hidden = 0;
  for (std::size_t column = 0; column < cutoffs.size(); ++column) {
    const ChartRatio ratio = data.ratio(kCombined, kRecursive, row, column);
    if (!ratio.ratio.known || ratio.ratio.bound > 0) {
      ++hidden;  // recursive time below resolution: no ratio to show
      continue;
    }
    PlotPoint point = plot_point(cutoffs[column], ratio);
    point.best = fastest.marked() && is_fastest(combined.at(row, column), fastest.time);
    point.data = {{"n", series.key}, {"cutoff", recursive.columns[column]}};
    series.points.push_back(std::move(point));
  }
  series.label = series_label(recursive.rows[row], fastest, hidden, series.faint);
  return series;
}

LinePlot cutoff_plot(const ChartData& data, std::string_view program) {
  LinePlot plot;
  plot.title = fmt::format("{}: {} time / {} time", program, kit::kCombinedQuicksortName.legend,
                           kit::kRecursiveQuicksortName.legend);
  plot.subtitle = "below 1\xc3\x97 the insertion-sort cutoff pays; ";
  plot.subtitle += data.precise() ? source_note(data.coverage()) : "each cell sorts its own random data";
  plot.x_label = "cutoff HRANICA (ranges this short go to insertion sort)";
  plot.y_label = "combined / recursive time";
  plot.y_format = TickFormat::ratio;
  plot.reference_y = 1.0;
  plot.reference_label = "equal times";
  plot.best_label = "fastest combined time of its length";
  plot.below_resolution_label = "combined time below 0.01 s: a bound";
  plot.interval_lines = interval_label_lines(data.coverage());
  const ChartTable& recursive = data.tables()[kRecursive];
  for (std::size_t column = 0; column < recursive.columns.size(); ++column) {
    plot.x_ticks.push_back(numeric_label(recursive.columns[column]).value_or(static_cast<double>(column + 1)));
  }
  for (std::size_t row = 0; row < recursive.rows.size(); ++row) {
    plot.series.push_back(length_series(data, row, plot.x_ticks));
  }
  return plot;
}

}  // namespace

ChartFile cutoff_chart(const ChartData& data, std::string_view stem, std::string_view program) {
  return {std::string(stem) + "-cutoff-ratio.svg", line_plot_svg(cutoff_plot(data, program), layout::kCutoffPlot)};
}

}  // namespace study
