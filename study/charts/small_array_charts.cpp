#include <fmt/format.h>

#include "analysis/programs/suite_programs.hpp"
#include "analysis/text/text_format.hpp"
#include "kit/kernel_names.hpp"
#include "study/charts/chart_text.hpp"
#include "study/charts/family_charts.hpp"
#include "study/charts/line_plot.hpp"

namespace study {
namespace {

using namespace svg;

// "QS  quicksort": the column's label and the sort it times.
std::string algorithm_name(std::string_view label) {
  const std::string_view kernel = analysis::small_array_kernel(label);
  return kernel.empty() ? std::string(label) : fmt::format("{}  {}", label, kit::kernel_legend(kernel));
}

// One algorithm's times per array, one point per length that has one.
PlotSeries algorithm_series(const ChartTable& table, std::size_t column, double per_array) {
  PlotSeries series;
  series.key = table.columns[column];
  series.label = algorithm_name(series.key);
  series.color = category_color(column);
  for (std::size_t row = 0; row < table.rows.size(); ++row) {
    const ChartValue& time = table.at(row, column);
    if (!time.shown()) continue;  // the clock went back during this batch: no time to show
    PlotPoint point = plot_point(static_cast<double>(table.rows[row]), time.scaled(per_array));
    point.data = {{"n", std::to_string(table.rows[row])}};
    series.points.push_back(std::move(point));
  }
  return series;
}

LinePlot time_per_array_plot(const ChartData& data, std::string_view program) {
  const ChartTable& table = data.tables().front();
  const std::int64_t arrays = data.arrays_per_cell();
  const double floor = kResolutionSeconds / static_cast<double>(arrays);
  LinePlot plot;
  plot.title = std::string(program) + ": time per array against array length";
  plot.subtitle = arrays > 1
                      ? "each cell divided by the " + analysis::with_thousands(arrays) + " arrays it sorted; log scale"
                      : "time of one batch over all arrays; log scale";
  if (data.precise()) plot.subtitle += "; " + source_note(data.coverage());
  plot.interval_lines = interval_label_lines(data.coverage());
  plot.x_label = "array length n (elements)";
  plot.y_label = arrays > 1 ? "time per array" : "time per batch";
  plot.y_log = true;
  plot.y_format = TickFormat::seconds;
  plot.below_resolution_label = "below the clock's resolution (< " + format_tick(floor, TickFormat::seconds) + ")";
  if (table.rows.size() <= layout::kMostLengthTicks) {
    for (std::int64_t n : table.rows) plot.x_ticks.push_back(static_cast<double>(n));
  }
  for (std::size_t column = 0; column < table.columns.size(); ++column) {
    plot.series.push_back(algorithm_series(table, column, 1.0 / static_cast<double>(arrays)));
  }
  return plot;
}

}  // namespace

ChartFile small_arrays_chart(const ChartData& data, std::string_view stem, std::string_view program) {
  return {std::string(stem) + "-time-per-array.svg",
          line_plot_svg(time_per_array_plot(data, program), layout::kSmallArraysPlot)};
}

}  // namespace study
