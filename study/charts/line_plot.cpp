#include "study/charts/line_plot.hpp"

#include <algorithm>

namespace study::svg {
namespace {

constexpr double kFaintOpacity = 0.35;
constexpr std::string_view kDashes = "7 4";

Attributes with_data(Attributes attributes, const PlotPoint& point) {
  for (const auto& [name, value] : point.data) attributes.data(name, value);
  return attributes;
}

// The smallest box around every point and forced tick of the plot.
struct Extent {
  double x_lo = 0, x_hi = 0, y_lo = 0, y_hi = 0;
  bool any_point = false;
  bool any_below_resolution = false;
  bool any_best = false;
  bool any_interval = false;
};

Extent extent_of(const LinePlot& plot) {
  Extent e;
  for (const PlotSeries& series : plot.series) {
    for (const PlotPoint& point : series.points) {
      if (!e.any_point) {
        e.x_lo = e.x_hi = point.x;
        e.y_lo = e.y_hi = point.y;
        e.any_point = true;
      }
      e.x_lo = std::min(e.x_lo, point.x);
      e.x_hi = std::max(e.x_hi, point.x);
      e.y_lo = std::min(e.y_lo, point.y);
      e.y_hi = std::max(e.y_hi, point.y);
      if (point.interval) {
        e.y_lo = std::min(e.y_lo, point.interval->first);
        e.y_hi = std::max(e.y_hi, point.interval->second);
        e.any_interval = true;
      }
      e.any_below_resolution |= point.below_resolution;
      e.any_best |= point.best;
    }
  }
  bool any_x = e.any_point;
  for (double x : plot.x_ticks) {
    if (!any_x) e.x_lo = e.x_hi = x;
    any_x = true;
    e.x_lo = std::min(e.x_lo, x);
    e.x_hi = std::max(e.x_hi, x);
  }
  if (!any_x) {
    e.x_lo = plot.x_log ? 1 : 0;
    e.x_hi = plot.x_log ? 10 : 1;
  }
  if (!e.any_point) {
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

void draw_legend(Document& document, const LinePlot& plot, const Extent& extent, double lx, double ly) {
  document.open_group(Attributes().css_class("legend"));
  for (const PlotSeries& series : plot.series) {
    Attributes stroke = Attributes().stroke(series.color).stroke_width(2);
    if (series.dashed) stroke.dashes(kDashes);
    if (series.faint) stroke.opacity(kFaintOpacity);
    document.line(lx, ly, lx + 24, ly, stroke);
    document.circle(lx + 12, ly, 3, Attributes().fill(series.color));
    document.text(lx + 32, ly + 4, series.label);
    ly += 18;
  }
  ly += 6;
  if (extent.any_best) {
    document.circle(lx + 12, ly, 7, Attributes().fill("none").stroke("#000").stroke_width(2));
    document.text(lx + 32, ly + 4, plot.best_label, Attributes().css_class("note"));
    ly += 20;
  }
  if (extent.any_below_resolution) {
    document.polygon({{lx + 7, ly - 4}, {lx + 17, ly - 4}, {lx + 12, ly + 5}},
                     Attributes().fill("#fff").stroke("#444").stroke_width(1.5));
    document.text(lx + 32, ly + 4, plot.below_resolution_label, Attributes().css_class("note"));
    ly += 20;
  }
  if (extent.any_interval) {
    draw_error_bar(document, lx + 12, ly - 7, ly + 7, Attributes().stroke("#444"));
    document.text(lx + 32, ly + 4, plot.interval_label, Attributes().css_class("note"));
    ly += 20;
  }
  if (plot.reference_y && !plot.reference_label.empty()) {
    document.line(lx, ly, lx + 24, ly, Attributes().css_class("reference"));
    document.text(lx + 32, ly + 4, plot.reference_label, Attributes().css_class("note"));
  }
  document.close_group();
}

}  // namespace

void draw_error_bar(Document& document, double x, double top, double bottom, const Attributes& stroke) {
  document.line(x, top, x, bottom, stroke);
  document.line(x - 4, top, x + 4, top, stroke);
  document.line(x - 4, bottom, x + 4, bottom, stroke);
}

void draw_line_plot(Document& document, const LinePlot& plot, Area area, double legend_width) {
  constexpr double kLeft = 78;
  constexpr double kTop = 58;
  constexpr double kBottom = 52;
  const Area frame{area.x + kLeft, area.y + kTop, area.width - kLeft - legend_width - 24, area.height - kTop - kBottom};
  const Extent extent = extent_of(plot);

  Scale x_scale;
  x_scale.log = plot.x_log;
  if (plot.x_log) {
    x_scale.lo = extent.x_lo / 1.3;
    x_scale.hi = (extent.x_hi > extent.x_lo ? extent.x_hi : extent.x_lo * 10) * 1.3;
  } else {
    const double margin = extent.x_hi > extent.x_lo ? (extent.x_hi - extent.x_lo) * 0.04 : 1;
    x_scale.lo = extent.x_lo - margin;
    x_scale.hi = extent.x_hi + margin;
  }
  x_scale.pixel_lo = frame.x;
  x_scale.pixel_hi = frame.x + frame.width;
  Scale y_scale = fitted_scale(extent.y_lo, extent.y_hi, plot.y_log);
  y_scale.pixel_lo = frame.y + frame.height;
  y_scale.pixel_hi = frame.y;

  document.text(area.x + 12, area.y + 22, plot.title, Attributes().css_class("title"));
  if (!plot.subtitle.empty()) {
    document.text(area.x + 12, area.y + 40, plot.subtitle, Attributes().css_class("subtitle"));
  }

  for (double y : y_scale.ticks()) {
    const double py = y_scale(y);
    document.line(frame.x, py, frame.x + frame.width, py, Attributes().css_class("grid"));
    document.text(frame.x - 6, py + 4, format_tick(y, plot.y_format),
                  Attributes().css_class("tick").anchor(Anchor::end));
  }
  for (double x : plot.x_ticks.empty() ? x_scale.ticks() : plot.x_ticks) {
    const double px = x_scale(x);
    document.line(px, frame.y, px, frame.y + frame.height, Attributes().css_class("grid"));
    document.text(px, frame.y + frame.height + 16, format_tick(x, plot.x_format),
                  Attributes().css_class("tick").anchor(Anchor::middle));
  }
  const double bottom = frame.y + frame.height;
  document.line(frame.x, bottom, frame.x + frame.width, bottom, Attributes().css_class("axis"));
  document.line(frame.x, frame.y, frame.x, bottom, Attributes().css_class("axis"));
  document.text(frame.x + frame.width / 2, bottom + 40, plot.x_label,
                Attributes().css_class("label").anchor(Anchor::middle));
  const double label_x = area.x + 16;
  const double label_y = frame.y + frame.height / 2;
  document.text(label_x, label_y, plot.y_label,
                Attributes().css_class("label").anchor(Anchor::middle).rotated(-90, label_x, label_y));
  if (plot.reference_y) {
    const double py = y_scale(*plot.reference_y);
    document.line(frame.x, py, frame.x + frame.width, py, Attributes().css_class("reference"));
  }

  for (const PlotSeries& series : plot.series) {
    Attributes group = Attributes().css_class("series").data("series", series.key);
    if (series.faint) group.opacity(kFaintOpacity);
    document.open_group(group);
    std::vector<Point> points;
    for (const PlotPoint& point : series.points) points.emplace_back(x_scale(point.x), y_scale(point.y));
    if (points.size() >= 2) {
      Attributes line = Attributes().stroke(series.color);
      if (series.dashed) line.dashes(kDashes);
      document.polyline(points, line);
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
      const PlotPoint& point = series.points[i];
      const auto [px, py] = points[i];
      if (point.interval) {
        document.open_group(with_data(Attributes().css_class("interval"), point));
        draw_error_bar(document, px, y_scale(point.interval->second), y_scale(point.interval->first),
                       Attributes().stroke(series.color));
        document.close_group();
      }
      if (point.below_resolution) {
        document.polygon(
            {{px - 5, py - 4}, {px + 5, py - 4}, {px, py + 5}},
            with_data(Attributes().css_class("below-resolution").fill("#fff").stroke(series.color).stroke_width(1.5),
                      point));
      } else {
        document.circle(px, py, 3, with_data(Attributes().css_class("point").fill(series.color), point));
      }
      if (point.best) {
        document.circle(px, py, 7,
                        with_data(Attributes().css_class("best").fill("none").stroke("#000").stroke_width(2), point));
      }
    }
    document.close_group();
  }

  if (legend_width > 0) draw_legend(document, plot, extent, frame.x + frame.width + 20, frame.y + 6);
}

}  // namespace study::svg
