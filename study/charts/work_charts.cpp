#include "study/charts/work_charts.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <map>
#include <string>

#include "analysis/statistics/cell_statistics.hpp"
#include "analysis/text/text_format.hpp"
#include "kit/kernel_names.hpp"
#include "study/charts/chart_data.hpp"
#include "study/charts/chart_layout.hpp"
#include "study/charts/chart_parts.hpp"
#include "study/charts/line_plot.hpp"

namespace study {
namespace {

using namespace svg;

// The cutoff of a column; the replay's labels are its own numbers.
double cutoff_of(std::string_view label) { return numeric_label(label).value_or(0); }

double median_of(std::vector<double> values) {
  std::ranges::sort(values);
  return analysis::sorted_median(values);
}

// Per sort, in order of first appearance: per length the time of one
// operation, the median over the length's cells.
LinePlot time_per_operation_plot(const analysis::ProgramGrid& grid, const analysis::ProgramWork& work) {
  std::vector<std::string> kernels;
  std::map<std::string, std::map<double, std::vector<double>>> times;  // kernel -> length -> ns per operation
  for (const analysis::LabelledWork& cell : work.cells) {
    const std::string& kernel = cell.work.kernel;
    if (std::ranges::find(kernels, kernel) == kernels.end()) kernels.push_back(kernel);
    const std::optional<analysis::OperationTimes> cell_times = analysis::operation_times(grid, cell);
    if (cell_times && cell_times->per_operation) {
      times[kernel][static_cast<double>(cell.n)].push_back(*cell_times->per_operation * 1e-9);
    }
  }
  LinePlot plot;
  plot.title = work.program + ": time per operation against array length";
  plot.subtitle = fmt::format(
      "the cell's median time over the comparisons (counting sort: counter steps) counted on the data of repeat {}; "
      "log scales",
      work.repeat);
  plot.x_label = "array length n (elements)";
  plot.y_label = "time per operation";
  plot.x_log = true;
  plot.y_log = true;
  plot.x_format = TickFormat::count;
  plot.y_format = TickFormat::seconds;
  for (std::size_t k = 0; k < kernels.size(); ++k) {
    PlotSeries series;
    series.key = kernels[k];
    series.label = fmt::format("{}  {}", kernels[k], kit::kernel_legend(kernels[k]));
    series.color = category_color(k);
    for (const auto& [n, values] : times[kernels[k]]) {
      PlotPoint point;
      point.x = n;
      point.y = median_of(values);
      point.data = {{"n", fmt::format("{}", static_cast<std::int64_t>(n))}};
      series.points.push_back(std::move(point));
    }
    plot.series.push_back(std::move(series));
  }
  return plot;
}

// Per length, the combined sort's comparisons or moves per element against the cutoff.
LinePlot per_cutoff_plot(const analysis::ProgramWork& work, std::string_view kernel, bool moves) {
  std::vector<const analysis::LabelledWork*> rows;  // the first cell of each length, in order
  std::map<std::string, std::vector<PlotPoint>> points;
  for (const analysis::LabelledWork& cell : work.cells) {
    if (cell.work.kernel != kernel) continue;
    if (!points.contains(cell.row)) rows.push_back(&cell);
    const std::int64_t count = moves ? kit::moves(cell.work.total) : cell.work.total.comparisons;
    PlotPoint point;
    point.x = cutoff_of(cell.column);
    point.y = analysis::per_element(cell.work, count, cell.n);
    point.data = {{"n", cell.row}, {"cutoff", cell.column}};
    points[cell.row].push_back(std::move(point));
  }
  LinePlot plot;
  const std::string what = moves ? "moves" : "comparisons";
  plot.title = fmt::format("{}: {} per element against the cutoff", work.program, what);
  plot.subtitle = fmt::format("{} counted on the data of repeat {}, each cell on data of its own; one line per length",
                              kernel, work.repeat);
  plot.x_label = "cutoff";
  plot.y_label = what + " per element";
  for (std::size_t r = 0; r < rows.size(); ++r) {
    PlotSeries series;
    series.key = rows[r]->row;
    series.label = "n = " + analysis::with_thousands(rows[r]->n);
    series.color = ordered_color(rows.size() > 1 ? static_cast<double>(r) / static_cast<double>(rows.size() - 1) : 0.0);
    series.points = std::move(points[rows[r]->row]);
    plot.series.push_back(std::move(series));
  }
  for (const PlotPoint& point : plot.series.empty() ? std::vector<PlotPoint>() : plot.series.front().points) {
    plot.x_ticks.push_back(point.x);
  }
  return plot;
}

}  // namespace

std::vector<ChartFile> work_charts(const analysis::ProgramGrid& grid, const analysis::ProgramWork& work,
                                   std::string_view stem) {
  std::vector<ChartFile> charts;
  if (grid.facts == nullptr || grid.facts->family == analysis::ProgramFamily::file_duel) return charts;
  const std::string prefix(stem);
  charts.push_back(
      {prefix + "-time-per-operation.svg", line_plot_svg(time_per_operation_plot(grid, work), layout::kCutoffPlot)});
  if (grid.facts->family == analysis::ProgramFamily::cutoff && grid.facts->record_tables.size() == 2) {
    const std::string_view combined = grid.facts->record_tables[1].kernel;
    charts.push_back({prefix + "-comparisons-by-cutoff.svg",
                      line_plot_svg(per_cutoff_plot(work, combined, false), layout::kCutoffPlot)});
    charts.push_back(
        {prefix + "-moves-by-cutoff.svg", line_plot_svg(per_cutoff_plot(work, combined, true), layout::kCutoffPlot)});
  }
  return charts;
}

}  // namespace study
