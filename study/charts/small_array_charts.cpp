#include "study/charts/small_array_charts.hpp"

#include <map>

#include "analysis/text/text_format.hpp"
#include "study/charts/chart_colors.hpp"
#include "study/charts/line_plot.hpp"

namespace study {
namespace {

std::string algorithm_name(std::string_view label) {
  static const std::map<std::string_view, std::string_view> kNames{{"QS", "quicksort"},      {"MS", "merge sort"},
                                                                   {"HS", "heap sort"},      {"BS", "bubble sort"},
                                                                   {"IS", "insertion sort"}, {"SS", "selection sort"}};
  const auto found = kNames.find(label);
  return found == kNames.end() ? std::string(label) : std::string(label) + "  " + std::string(found->second);
}

}  // namespace

ChartFile small_arrays_chart(const analysis::ResultFile& result, std::string_view stem, std::string_view program,
                             const PreciseTimes& precise) {
  using namespace svg;
  const analysis::CellTable& table = result.tables.front();
  // A file of one of the suite's programs says how many arrays each cell sorted.
  const std::int64_t arrays = result.program ? result.program->arrays_per_cell() : 1;
  const double floor = kResolutionSeconds / static_cast<double>(arrays);

  LinePlot plot;
  plot.title = std::string(program) + ": time per array against array length";
  plot.subtitle = arrays > 1
                      ? "each cell divided by the " + analysis::with_thousands(arrays) + " arrays it sorted; log scale"
                      : "time of one batch over all arrays; log scale";
  if (!precise.empty()) plot.subtitle += "; " + precise.source_note();
  plot.interval_label = precise.interval_label();
  plot.x_label = "array length n (elements)";
  plot.y_label = arrays > 1 ? "time per array" : "time per batch";
  plot.y_log = true;
  plot.y_format = TickFormat::seconds;
  plot.below_resolution_label = "below the clock's resolution (< " + format_tick(floor, TickFormat::seconds) + ")";
  if (table.row_labels.size() <= 20) {
    for (std::int64_t n : table.row_labels) plot.x_ticks.push_back(static_cast<double>(n));
  }
  for (std::size_t column = 0; column < table.column_labels.size(); ++column) {
    PlotSeries series;
    series.key = table.column_labels[column];
    series.label = algorithm_name(series.key);
    series.color = category_color(column);
    for (std::size_t row = 0; row < table.row_labels.size(); ++row) {
      const std::int64_t cell = table.cell(row, column);
      const std::optional<PreciseTime> time = precise.time(table.name, table.row_labels[row], series.key);
      if (!time && cell < 0) continue;  // the clock went back during this batch: no time to show
      PlotPoint point;
      point.x = static_cast<double>(table.row_labels[row]);
      const double per_array = 1.0 / static_cast<double>(arrays);
      if (time) {
        point.y = time->median * per_array;
        if (time->has_interval()) point.interval = std::pair(time->low * per_array, time->high * per_array);
      } else {
        point.y = cell == 0 ? floor : seconds(cell) * per_array;
        point.below_resolution = cell == 0;
      }
      point.data = {{"n", std::to_string(table.row_labels[row])}};
      series.points.push_back(std::move(point));
    }
    plot.series.push_back(std::move(series));
  }
  Document document(960, 560, plot.title);
  draw_line_plot(document, plot, Area{0, 0, 960, 560}, 200);
  return {std::string(stem) + "-time-per-array.svg", document.finish()};
}

}  // namespace study
