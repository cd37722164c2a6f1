#include "study/charts/ratio_chart_svg.hpp"

#include <fmt/format.h>

#include <algorithm>

#include "study/charts/chart_colors.hpp"
#include "study/charts/svg_document.hpp"

namespace study {
namespace {

constexpr double kLeft = 70, kRight = 20, kTop = 50, kBottom = 110, kPlotHeight = 320, kStep = 14;
// Cell labels are drawn below the axis only while they can be read.
constexpr std::size_t kMostLabelledCells = 60;

}  // namespace

std::string ratio_chart_svg(const std::string& program, const std::vector<analysis::RatioSeries>& series) {
  std::size_t cells = 0;
  double low = 1.0, high = 1.0;
  for (const analysis::RatioSeries& one : series) {
    cells += one.points.size();
    for (const analysis::RatioPoint& point : one.points) {
      low = std::min({low, point.low, point.ratio});
      high = std::max({high, point.high, point.ratio});
    }
  }
  const double margin = std::max((high - low) * 0.08, 0.01);
  low -= margin;
  high += margin;
  const double plot_width = std::max(kStep * static_cast<double>(cells + series.size()), 240.0);
  const double width = kLeft + plot_width + kRight;
  const double height = kTop + kPlotHeight + kBottom;
  const auto y_of = [&](double ratio) { return kTop + (high - ratio) / (high - low) * kPlotHeight; };

  svg::Document chart(width, height, program + ": B / A per cell");
  chart.text(width / 2, 24, program + ": time of B / time of A, median per cell, bars the 95 % interval",
             svg::Attributes().anchor(svg::Anchor::middle).style("font-size:14px"));
  chart.line(kLeft, kTop, kLeft, kTop + kPlotHeight, svg::Attributes().stroke("#444"));
  chart.line(kLeft, kTop + kPlotHeight, kLeft + plot_width, kTop + kPlotHeight, svg::Attributes().stroke("#444"));
  for (int tick = 0; tick <= 4; ++tick) {
    const double ratio = low + (high - low) * tick / 4.0;
    chart.text(kLeft - 6, y_of(ratio) + 4, fmt::format("{:.3f}", ratio),
               svg::Attributes().anchor(svg::Anchor::end).style("font-size:11px"));
  }
  chart.line(kLeft, y_of(1.0), kLeft + plot_width, y_of(1.0), svg::Attributes().stroke("#888").dashes("4 3"));
  chart.text(kLeft + plot_width, y_of(1.0) - 4, "no change",
             svg::Attributes().anchor(svg::Anchor::end).style("font-size:11px").fill("#666"));

  double x = kLeft + kStep;
  for (std::size_t s = 0; s < series.size(); ++s) {
    const std::string color = svg::category_color(s);
    chart.text(x, kTop - 8, series[s].series, svg::Attributes().fill(color).style("font-size:12px"));
    chart.open_group(svg::Attributes().data("series", series[s].series));
    for (const analysis::RatioPoint& point : series[s].points) {
      if (point.coverage > 0) chart.line(x, y_of(point.low), x, y_of(point.high), svg::Attributes().stroke(color));
      chart.circle(x, y_of(point.ratio), 3,
                   svg::Attributes()
                       .fill(point.distinguishable ? color : "#fff")
                       .stroke(color)
                       .data("cell", point.row + "/" + point.column));
      if (cells <= kMostLabelledCells) {
        const double label_y = kTop + kPlotHeight + 10;
        chart.text(x, label_y, point.column.empty() ? point.row : point.row + " " + point.column,
                   svg::Attributes().anchor(svg::Anchor::end).rotated(-60, x, label_y).style("font-size:10px"));
      }
      x += kStep;
    }
    chart.close_group();
    x += kStep;
  }
  chart.text(kLeft, height - 10, "filled: the interval excludes 1; open: no change shown at this N",
             svg::Attributes().style("font-size:11px").fill("#666"));
  return chart.finish();
}

}  // namespace study
