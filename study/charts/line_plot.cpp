#include "study/charts/line_plot.hpp"

#include <algorithm>
#include <limits>

namespace study::svg {
namespace {

using namespace layout;

Attributes with_data(Attributes attributes, const PlotPoint& point) {
  for (const auto& [name, value] : point.data) attributes.data(name, value);
  return attributes;
}

// The smallest box around every point and forced tick of the plot.
struct Extent {
  static constexpr double kNone = std::numeric_limits<double>::infinity();
  double x_lo = kNone, x_hi = -kNone, y_lo = kNone, y_hi = -kNone;
  bool any_below_resolution = false;
  bool any_best = false;
  bool any_interval = false;
  bool any_disturbed = false;

  void take_x(double x) {
    x_lo = std::min(x_lo, x);
    x_hi = std::max(x_hi, x);
  }
  void take(const PlotPoint& point) {
    take_x(point.x);
    y_lo = std::min(y_lo, point.interval ? std::min(point.y, point.interval->first) : point.y);
    y_hi = std::max(y_hi, point.interval ? std::max(point.y, point.interval->second) : point.y);
    any_interval |= point.interval.has_value();
    any_below_resolution |= point.below_resolution;
    any_best |= point.best;
    any_disturbed |= point.disturbed;
  }
};

Extent extent_of(const LinePlot& plot) {
  Extent e;
  for (const PlotSeries& series : plot.series) {
    for (const PlotPoint& point : series.points) e.take(point);
  }
  for (double x : plot.x_ticks) e.take_x(x);
  if (e.x_lo > e.x_hi) {  // neither a point nor a tick
    e.x_lo = plot.x_log ? 1 : 0;
    e.x_hi = plot.x_log ? 10 : 1;
  }
  if (e.y_lo > e.y_hi) {  // no point
    e.y_lo = plot.y_log ? 1 : 0;
    e.y_hi = plot.y_log ? 10 : 1;
  }
  if (plot.reference_y) {
    e.y_lo = std::min(e.y_lo, *plot.reference_y);
    e.y_hi = std::max(e.y_hi, *plot.reference_y);
  }
  // Points that stand for "below the resolution" sit at the resolution; keep
  // them clear of the axis so they do not read as the axis itself.
  if (e.any_below_resolution && plot.y_log) e.y_lo /= 2;
  if (plot.y_min) e.y_lo = std::min(e.y_lo, *plot.y_min);
  if (plot.y_max) e.y_hi = std::max(e.y_hi, *plot.y_max);
  return e;
}

// The x axis reaches a little past the outermost points, so none sits on the frame.
Scale x_scale_of(const LinePlot& plot, const Extent& e, const Area& frame) {
  if (plot.x_log) {
    const double hi = (e.x_hi > e.x_lo ? e.x_hi : e.x_lo * 10) * kPlotLogMargin;
    return Scale{.lo = e.x_lo / kPlotLogMargin, .hi = hi, .log = true, .pixel_lo = frame.x, .pixel_hi = frame.right()};
  }
  const double margin = e.x_hi > e.x_lo ? (e.x_hi - e.x_lo) * kPlotLinearMargin : 1;
  return Scale{
      .lo = e.x_lo - margin, .hi = e.x_hi + margin, .log = false, .pixel_lo = frame.x, .pixel_hi = frame.right()};
}

void draw_point(Document& document, const PlotSeries& series, const PlotPoint& point, const Scale& x, const Scale& y) {
  const double px = x(point.x);
  const double py = y(point.y);
  if (point.interval) {
    document.open_group(with_data(Attributes().css_class("interval"), point));
    draw_error_bar(document, px, y(point.interval->second), y(point.interval->first),
                   Attributes().stroke(series.color));
    document.close_group();
  }
  if (point.below_resolution) {
    draw_triangle(document, px, py,
                  with_data(bound_style(series.color, Attributes().css_class("below-resolution")), point));
  } else {
    draw_dot(document, px, py, with_data(Attributes().css_class("point").fill(series.color), point));
  }
  if (point.best) draw_ring(document, px, py, with_data(ring_style(Attributes().css_class("best")), point));
  if (point.disturbed) draw_ring(document, px, py, with_data(disturbed_style(), point));
}

void draw_series(Document& document, const PlotSeries& series, const Scale& x, const Scale& y) {
  Attributes group = Attributes().css_class("series").data("series", series.key);
  if (series.faint) group.opacity(kFaintOpacity);
  document.open_group(group);
  if (series.points.size() >= 2) {
    std::vector<Point> points;
    for (const PlotPoint& point : series.points) points.emplace_back(x(point.x), y(point.y));
    Attributes line = Attributes().stroke(series.color);
    if (series.dashed) line.dashes(kSeriesDashes);
    document.polyline(points, line);
  }
  for (const PlotPoint& point : series.points) draw_point(document, series, point, x, y);
  document.close_group();
}

void draw_legend(Document& document, const LinePlot& plot, const Extent& extent, double x, double y) {
  document.open_group(Attributes().css_class("legend"));
  Legend legend(document, x, y, kPlotLegend);
  for (const PlotSeries& series : plot.series) {
    legend.entry(Sample::dot_on_line(series_stroke(series.color, series.dashed, series.faint), series.color),
                 {series.label});
  }
  legend.skip(kPlotNoteGap);
  legend.set_step(kPlotNoteStep);
  const Attributes note = Attributes().css_class("note");
  if (extent.any_best) legend.entry(Sample::ring(ring_style()), {plot.best_label}, note);
  if (extent.any_disturbed) legend.entry(Sample::ring(disturbed_style()), {plot.disturbed_label}, note);
  if (extent.any_below_resolution) {
    legend.entry(Sample::triangle(bound_style("#444")), {plot.below_resolution_label}, note);
  }
  if (extent.any_interval) legend.entry(Sample::error_bar(Attributes().stroke("#444")), plot.interval_lines, note);
  if (plot.reference_y && !plot.reference_label.empty()) {
    legend.entry(Sample::line(Attributes().css_class("reference")), {plot.reference_label}, note);
  }
  document.close_group();
}

}  // namespace

PlotPoint plot_point(double x, const ChartValue& time) {
  return {.x = x,
          .y = time.value,
          .below_resolution = time.below_resolution(),
          .disturbed = time.disturbed,
          .interval = time.interval,
          .data = {}};
}

PlotPoint plot_point(double x, const ChartRatio& ratio) {
  return {.x = x,
          .y = ratio.ratio.value,
          .below_resolution = ratio.ratio.bound < 0,
          .disturbed = ratio.disturbed,
          .interval = ratio.interval,
          .data = {}};
}

void draw_line_plot(Document& document, const LinePlot& plot, Area area, double legend_width) {
  Margins margins = kPlotMargins;
  margins.right += legend_width;
  const Area frame = inset(area, margins);
  const Extent extent = extent_of(plot);
  const Scale x = x_scale_of(plot, extent, frame);
  const Scale y = up_the_frame(fitted_scale(extent.y_lo, extent.y_hi, plot.y_log), frame);

  draw_titles(document, area, plot.title, plot.subtitle);
  draw_y_ticks(document, frame, scale_ticks(y, plot.y_format), y_tick_style());
  draw_x_ticks(document, frame, scale_ticks(x, plot.x_format, plot.x_ticks), x_tick_style(true));
  draw_axes(document, frame);
  draw_axis_names(document, frame, plot.x_label, frame.bottom() + kPlotAxisNames.x_below, plot.y_label,
                  area.x + kPlotAxisNames.y_centre_x);
  if (plot.reference_y) draw_rule(document, frame, y(*plot.reference_y), Attributes().css_class("reference"));
  for (const PlotSeries& series : plot.series) draw_series(document, series, x, y);
  if (legend_width > 0)
    draw_legend(document, plot, extent, frame.right() + kPlotLegendPlace.gap, frame.y + kPlotLegendPlace.top);
}

std::string line_plot_svg(const LinePlot& plot, const layout::PlotSize& size) {
  Document document(size.width, size.height, plot.title);
  draw_line_plot(document, plot, Area{0, 0, size.width, size.height}, size.legend);
  return document.finish();
}

}  // namespace study::svg
