// The line plot that most charts are made of: axes, grid, one line of
// points per series, markers for bounds and best points, and a legend.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "study/charts/chart_data.hpp"
#include "study/charts/chart_parts.hpp"

namespace study::svg {

struct PlotPoint {
  double x = 0;
  double y = 0;
  bool below_resolution = false;  // y is only an upper bound
  bool best = false;              // drawn as the marked point of its series
  bool disturbed = false;         // ringed: a window behind it lost the processor to other work
  // The interval around y, drawn as an error bar: (low, high).
  std::optional<std::pair<double, double>> interval;
  // data-NAME="VALUE" attributes of the point's markers, e.g. {"cutoff", "23"}
  std::vector<std::pair<std::string, std::string>> data;
};

struct PlotSeries {
  std::string key;    // data-series of its group
  std::string label;  // legend text
  std::string color;
  bool dashed = false;
  bool faint = false;  // drawn pale: its values are too coarse to read much into
  std::vector<PlotPoint> points;
};

struct LinePlot {
  std::string title;
  std::string subtitle;
  std::string x_label;
  std::string y_label;
  bool x_log = false;
  bool y_log = false;
  TickFormat x_format = TickFormat::plain;
  TickFormat y_format = TickFormat::plain;
  std::vector<double> x_ticks;  // when given, exactly these x values get ticks
  std::vector<PlotSeries> series;
  std::optional<double> reference_y;  // a dashed horizontal line, e.g. a ratio of 1
  std::string reference_label;
  std::optional<double> y_min;  // force the y range to reach down / up to these
  std::optional<double> y_max;
  std::string below_resolution_label;  // legend entry for the hollow markers
  std::string best_label;              // legend entry for the marked points
  std::string disturbed_label = "dashed ring: a disturbed window, left out of the decisions";
  std::vector<std::string> interval_lines;  // legend entry for the error bars
};

// A point of a chart's time or ratio at `x`: its value, interval and whether it is a bound.
PlotPoint plot_point(double x, const ChartValue& time);
PlotPoint plot_point(double x, const ChartRatio& ratio);

// Draws axes, grid, series and (when legend_width > 0) a legend at the right.
void draw_line_plot(Document& document, const LinePlot& plot, Area area, double legend_width);

// A document holding `plot` alone.
std::string line_plot_svg(const LinePlot& plot, const layout::PlotSize& size);

}  // namespace study::svg
