// The pieces every chart is drawn from: titles, the frame with its ticks
// and axis names, markers, error bars, bars, legends, the heat grid and the
// series' colours.
// They place and style what they are given; which values and texts a
// chart shows is the chart's own affair.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "study/charts/chart_layout.hpp"
#include "study/charts/chart_scale.hpp"
#include "study/charts/svg_document.hpp"

namespace study::svg {

struct Area {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;

  double right() const { return x + width; }
  double bottom() const { return y + height; }
};

// `area` less its margins.
Area inset(const Area& area, const layout::Margins& margins);

// `scale` running up the frame: its lo at the bottom, its hi at the top.
Scale up_the_frame(Scale scale, const Area& frame);

// Title and, unless empty, subtitle at the top left of `area`.
void draw_titles(Document& document, const Area& area, std::string_view title, std::string_view subtitle);

// A labelled place on an axis: its pixel and its label, line by line.
struct Tick {
  double at = 0;
  std::vector<std::string> lines;
};

// How an axis's ticks look: the label's attributes, and the grid line drawn
// across the frame at each tick, if any.
struct TickStyle {
  Attributes label;
  std::optional<Attributes> grid;
};

// Labels ending left of the frame, grid lines from the style sheet.
TickStyle y_tick_style();
// Labels centred below the frame, with or without grid lines.
TickStyle x_tick_style(bool grid);

// The round values of `scale` (or `values`, when given) with their labels.
std::vector<Tick> scale_ticks(const Scale& scale, TickFormat format, const std::vector<double>& values = {});

void draw_y_ticks(Document& document, const Area& frame, const std::vector<Tick>& ticks, const TickStyle& style);
void draw_x_ticks(Document& document, const Area& frame, const std::vector<Tick>& ticks, const TickStyle& style);

// One axis line along the frame's bottom or up its left.
enum class Edge { bottom, left };
void draw_axis_line(Document& document, const Area& frame, Edge edge, const Attributes& stroke);
// Both, in the style sheet's axis style.
void draw_axes(Document& document, const Area& frame);

// The axes' names: the x axis's centred over the frame at `x_baseline`, the
// y axis's turned up the frame's side, centred on `y_centre_x`.
void draw_axis_names(Document& document, const Area& frame, std::string_view x_name, double x_baseline,
                     std::string_view y_name, double y_centre_x);

// A line across the frame at pixel `y`: a reference such as a ratio of 1.
void draw_rule(Document& document, const Area& frame, double y, const Attributes& stroke);

// Markers centred on (x, y).
void draw_dot(Document& document, double x, double y, const Attributes& attributes);
void draw_ring(Document& document, double x, double y, const Attributes& attributes);
// Hollow, pointing down: a value that is only an upper bound.
void draw_triangle(Document& document, double x, double y, const Attributes& attributes);

// The looks of marks that plots and their legends share; `base` holds the
// mark's class and data, when it has them.
Attributes series_stroke(std::string_view color, bool dashed, bool faint);  // a series' line in a legend
Attributes ring_style(Attributes base = {});                                // a best point's ring
Attributes disturbed_style();                                               // a disturbed point's dashed ring

// Where a cell shows its value as text (a heat cell, a bar's label), a
// disturbed window is marked after it, as in the answers' tables.
inline constexpr std::string_view kDisturbedTextMark = "*";
inline std::vector<std::string> disturbed_text_note() {
  return {"*: a disturbed window,", "left out of the decisions"};
}
Attributes bound_style(std::string_view color, Attributes base = {});  // a bound's hollow triangle

// A vertical line from `y1` to `y2` with caps `cap` wide either side at both
// ends; a cap of 0 draws the line alone.
void draw_error_bar(Document& document, double x, double y1, double y2, const Attributes& stroke,
                    double cap = layout::kCapHalfWidth);

// A bar from `top` down to `bottom`, with an error bar on its centre line
// (pixels top, bottom) when given, and its label above.
struct Bar {
  double left = 0;
  double width = 0;
  double top = 0;
  double bottom = 0;
  Attributes attributes;
  std::optional<std::pair<double, double>> whisker;
  Attributes whisker_stroke;
  std::string label;
  double label_y = 0;  // the label's baseline
};
void draw_bar(Document& document, const Bar& bar);

// What a legend entry shows before its text, drawn about the row's line in a
// box as wide as the legend's samples.
struct Sample {
  enum class Shape { none, line, dot_on_line, swatch, ring, triangle, error_bar };
  Shape shape = Shape::none;
  Attributes attributes;
  std::string dot_color;  // dot_on_line: the dot's fill

  static Sample line(Attributes stroke) { return {Shape::line, std::move(stroke), {}}; }
  static Sample dot_on_line(Attributes stroke, std::string color) {
    return {Shape::dot_on_line, std::move(stroke), std::move(color)};
  }
  static Sample swatch(Attributes fill) { return {Shape::swatch, std::move(fill), {}}; }
  static Sample ring(Attributes stroke) { return {Shape::ring, std::move(stroke), {}}; }
  static Sample triangle(Attributes stroke) { return {Shape::triangle, std::move(stroke), {}}; }
  static Sample error_bar(Attributes stroke) { return {Shape::error_bar, std::move(stroke), {}}; }
};

// Rows of samples and texts, top down from (x, y).
class Legend {
 public:
  Legend(Document& document, double x, double y, const layout::LegendLayout& style)
      : document_(document), x_(x), y_(y), style_(style) {}

  // A sample and its text, line by line, then down by `step` (the style's when not given).
  void entry(const Sample& sample, const std::vector<std::string>& lines, const Attributes& text = {},
             std::optional<double> step = std::nullopt);
  // Lines of text from the legend's left edge, without a sample, then down by `step`.
  void text(const std::vector<std::string>& lines, const Attributes& text, double step);
  void skip(double step) { y_ += step; }
  void set_step(double step) { style_.step = step; }

 private:
  void draw_sample(const Sample& sample, double centre);

  Document& document_;
  double x_;
  double y_;
  layout::LegendLayout style_;
};

// A grid of coloured cells with one or two lines of text each, the column
// labels above and the row labels left of it.
struct HeatCell {
  Attributes attributes;  // the cell's rectangle: class, colours, data
  std::string text;
  std::string second_line;  // smaller, below the text; none when empty
  bool dark = false;        // white text on a dark fill
};

struct HeatGrid {
  double left = 0;
  double top = 0;
  double cell_width = 0;
  double cell_height = 0;
  std::vector<std::string> row_labels;
  std::vector<std::string> column_labels;
  std::vector<HeatCell> cells;  // row by row

  Area frame() const;
  Area cell(std::size_t row, std::size_t column) const;
};

// Column labels, then a group of class "cells" with each row's label and cells.
void draw_heat_grid(Document& document, const HeatGrid& grid);
// `line` along every edge between two cells of opposite `sides` (+1, -1; 0 takes neither).
void draw_boundaries(Document& document, const HeatGrid& grid, const std::vector<int>& sides, const Attributes& line);

// ---- The colours of the charts' series

// Colours that stay apart for up to 10 series.
std::string category_color(std::size_t index);

// A colour running from dark purple (0) through green to yellow (1), for
// series in a natural order such as ascending lengths.
std::string ordered_color(double position);

// "#rrggbb" of channels 0..255 (rounded and clamped).
std::string rgb_color(double red, double green, double blue);

}  // namespace study::svg
