#include "study/charts/ratio_chart_svg.hpp"

#include <algorithm>

#include "analysis/text/text_format.hpp"
#include "study/charts/chart_data.hpp"
#include "study/charts/chart_parts.hpp"
#include "study/charts/chart_text.hpp"

namespace study {
namespace {

using namespace svg;
using namespace svg::layout;

std::size_t cell_count(const std::vector<analysis::RatioSeries>& series) {
  std::size_t cells = 0;
  for (const analysis::RatioSeries& one : series) cells += one.points.size();
  return cells;
}

// The ratio axis: every ratio, interval and 1 inside, with a margin.
Scale ratio_scale(const std::vector<analysis::RatioSeries>& series, const Area& frame) {
  double low = 1.0, high = 1.0;
  for (const analysis::RatioSeries& one : series) {
    for (const analysis::RatioPoint& point : one.points) {
      low = std::min({low, point.low, point.ratio});
      high = std::max({high, point.high, point.ratio});
    }
  }
  const double margin = std::max((high - low) * kCompareRange.share, kCompareRange.least);
  return up_the_frame(Scale{low - margin, high + margin, false, 0, 1}, frame);
}

// The axes and their labels, the line at 1 and the title, in the comparison's own inline style.
void draw_frame(Document& chart, double width, const std::string& title, const Area& frame, const Scale& y) {
  chart.text(width / 2, kCompareText.title_y, title, Attributes().anchor(Anchor::middle).style("font-size:14px"));
  draw_axis_line(chart, frame, Edge::left, Attributes().stroke("#444"));
  draw_axis_line(chart, frame, Edge::bottom, Attributes().stroke("#444"));
  std::vector<Tick> ticks;
  for (double ratio : y.steps(kCompareTickSteps)) {
    ticks.push_back({y(ratio), {analysis::format_factor(ratio, analysis::FactorForm::axis)}});
  }
  draw_y_ticks(chart, frame, ticks, TickStyle{Attributes().anchor(Anchor::end).style("font-size:11px"), {}});
  draw_rule(chart, frame, y(1.0), Attributes().stroke("#888").dashes("4 3"));
  chart.text(frame.right(), y(1.0) - kBaselineDrop, "no change",
             Attributes().anchor(Anchor::end).style("font-size:11px").fill("#666"));
}

// One kernel's cells from `x` on, a step apart; returns where the next kernel starts.
double draw_kernel(Document& chart, const analysis::RatioSeries& series, const std::string& color, double x,
                   const Area& frame, const Scale& y, bool labelled) {
  chart.text(x, frame.y - kCompareText.series_above, series.series, Attributes().fill(color).style("font-size:12px"));
  chart.open_group(Attributes().data("series", series.series));
  for (const analysis::RatioPoint& point : series.points) {
    if (point.coverage > 0) draw_error_bar(chart, x, y(point.low), y(point.high), Attributes().stroke(color), 0);
    draw_dot(chart, x, y(point.ratio),
             Attributes()
                 .fill(point.distinguishable ? color : "#fff")
                 .stroke(color)
                 .data("cell", point.row + "/" + point.column));
    if (labelled) {
      const double label_y = frame.bottom() + kCompareText.labels_below;
      chart.text(x, label_y, point.column.empty() ? point.row : point.row + " " + point.column,
                 Attributes().anchor(Anchor::end).rotated(kCompareText.label_turn, x, label_y).style("font-size:10px"));
    }
    x += kCompareStep;
  }
  chart.close_group();
  return x + kCompareStep;
}

}  // namespace

std::string ratio_chart_svg(const std::string& program, const std::vector<analysis::RatioSeries>& series) {
  const std::size_t cells = cell_count(series);
  const Area frame{kCompareMargins.left, kCompareMargins.top,
                   std::max(kCompareStep * static_cast<double>(cells + series.size()), kCompareLeastWidth),
                   kComparePlotHeight};
  const double width = kCompareMargins.left + frame.width + kCompareMargins.right;
  const double height = kCompareMargins.top + kComparePlotHeight + kCompareMargins.bottom;
  const Scale y = ratio_scale(series, frame);

  Document chart(width, height, program + ": B / A per cell");
  draw_frame(chart, width,
             program + ": time of B / time of A, median per cell, " + comparison_bars(comparison_coverage(series)),
             frame, y);
  double x = frame.x + kCompareStep;
  for (std::size_t s = 0; s < series.size(); ++s) {
    x = draw_kernel(chart, series[s], category_color(s), x, frame, y, cells <= kCompareMostLabels);
  }
  chart.text(frame.x, height - kCompareText.foot_above,
             "filled: the interval excludes 1; open: no change shown at this N",
             Attributes().style("font-size:11px").fill("#666"));
  return chart.finish();
}

}  // namespace study
