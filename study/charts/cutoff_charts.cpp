#include "study/charts/cutoff_charts.hpp"

#include <algorithm>

#include "study/charts/chart_colors.hpp"
#include "study/charts/line_plot.hpp"
#include "study/charts/time_ratio.hpp"

namespace study {
namespace {

// Times below ten hundredths move in steps of 10% or more: such lines are drawn pale.
constexpr std::int64_t kCoarseHundredths = 10;

// A tie of more cutoffs than this says the clock could not tell them apart: nothing to mark.
constexpr std::size_t kMostMarkedTies = 3;

}  // namespace

ChartFile cutoff_chart(const analysis::ResultFile& result, std::string_view stem, std::string_view program,
                       const PreciseTimes& precise) {
  using namespace svg;
  const analysis::CellTable& plain = result.tables[0];
  const analysis::CellTable& combined = result.tables[1];
  const std::size_t rows = plain.row_labels.size();
  const std::size_t columns = plain.column_labels.size();

  LinePlot plot;
  plot.title = std::string(program) + ": combined quicksort time / recursive quicksort time";
  plot.subtitle = "below 1\xc3\x97 the insertion-sort cutoff pays; ";
  plot.subtitle += precise.empty() ? "each cell sorts its own random data" : precise.source_note();
  plot.x_label = "cutoff HRANICA (ranges this short go to insertion sort)";
  plot.y_label = "combined / recursive time";
  plot.y_format = TickFormat::ratio;
  plot.reference_y = 1.0;
  plot.reference_label = "equal times";
  plot.best_label = "fastest combined time of its length";
  plot.below_resolution_label = "combined time below 0.01 s: a bound";
  plot.interval_label = precise.interval_label();
  std::vector<double> cutoffs(columns);
  for (std::size_t column = 0; column < columns; ++column) {
    cutoffs[column] = numeric_label(plain.column_labels[column]).value_or(static_cast<double>(column + 1));
  }
  plot.x_ticks = cutoffs;
  for (std::size_t row = 0; row < rows; ++row) {
    const std::int64_t length = plain.row_labels[row];
    // The combined time that decides the fastest cutoff: the median when
    // the record has it, else the cell; negative when there is none.
    std::vector<double> combined_time(columns, -1);
    for (std::size_t column = 0; column < columns; ++column) {
      const auto time = precise.time(combined.name, length, plain.column_labels[column]);
      const std::int64_t cell = combined.cell(row, column);
      if (time) {
        combined_time[column] = time->median;
      } else if (cell >= 0) {
        combined_time[column] = seconds(cell);
      }
    }
    double best = -1;
    for (double time : combined_time) {
      if (time >= 0 && (best < 0 || time < best)) best = time;
    }
    std::vector<std::string> best_cutoffs;
    for (std::size_t column = 0; column < columns; ++column) {
      if (best >= 0 && combined_time[column] == best) best_cutoffs.push_back(plain.column_labels[column]);
    }
    const bool mark_best = !best_cutoffs.empty() && best_cutoffs.size() <= kMostMarkedTies;
    std::int64_t slowest = 0;
    for (std::size_t column = 0; column < columns; ++column) slowest = std::max(slowest, plain.cell(row, column));
    PlotSeries series;
    series.faint = precise.empty() && slowest < kCoarseHundredths;
    series.key = std::to_string(length);
    series.color = ordered_color(rows > 1 ? static_cast<double>(row) / static_cast<double>(rows - 1) : 0);
    std::size_t hidden = 0;
    for (std::size_t column = 0; column < columns; ++column) {
      PlotPoint point;
      point.x = cutoffs[column];
      if (const auto estimate = precise.ratio(combined.name, plain.name, length, plain.column_labels[column])) {
        point.y = estimate->ratio;
        if (estimate->interval.coverage > 0)
          point.interval = std::pair(estimate->interval.low, estimate->interval.high);
      } else {
        const Ratio ratio = ratio_of(combined.cell(row, column), plain.cell(row, column));
        if (!ratio.known || ratio.bound > 0) {
          ++hidden;  // recursive time below resolution: no ratio to show
          continue;
        }
        point.y = ratio.value;
        point.below_resolution = ratio.bound < 0;
      }
      point.best = mark_best && combined_time[column] == best;
      point.data = {{"n", series.key}, {"cutoff", plain.column_labels[column]}};
      series.points.push_back(std::move(point));
    }
    series.label = "n = " + format_tick(static_cast<double>(length), TickFormat::count);
    if (mark_best) {
      series.label += ", best";
      for (const std::string& cutoff : best_cutoffs) series.label += " " + cutoff;
    } else if (!best_cutoffs.empty()) {
      series.label += ", " + std::to_string(best_cutoffs.size()) + " tied";
    }
    if (hidden > 0) {
      series.label += " (" + std::to_string(hidden) + " below 0.01 s)";
    } else if (series.faint) {
      series.label += " (< 0.1 s, coarse)";
    }
    plot.series.push_back(std::move(series));
  }
  Document document(1000, 580, plot.title);
  draw_line_plot(document, plot, Area{0, 0, 1000, 580}, 250);
  return {std::string(stem) + "-cutoff-ratio.svg", document.finish()};
}

}  // namespace study
