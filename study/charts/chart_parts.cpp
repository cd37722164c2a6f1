#include "study/charts/chart_parts.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace study::svg {

using namespace layout;

namespace {

// Lines of text from baseline `y` down, a line height apart.
void draw_lines(Document& document, double x, double y, const std::vector<std::string>& lines,
                const Attributes& attributes) {
  for (const std::string& line : lines) {
    document.text(x, y, line, attributes);
    y += kLineHeight;
  }
}

}  // namespace

Area inset(const Area& area, const Margins& margins) {
  return Area{area.x + margins.left, area.y + margins.top, area.width - margins.left - margins.right,
              area.height - margins.top - margins.bottom};
}

Scale up_the_frame(Scale scale, const Area& frame) {
  scale.pixel_lo = frame.bottom();
  scale.pixel_hi = frame.y;
  return scale;
}

void draw_titles(Document& document, const Area& area, std::string_view title, std::string_view subtitle) {
  document.text(area.x + kTitles.x, area.y + kTitles.title_y, title, Attributes().css_class("title"));
  if (!subtitle.empty()) {
    document.text(area.x + kTitles.x, area.y + kTitles.subtitle_y, subtitle, Attributes().css_class("subtitle"));
  }
}

TickStyle y_tick_style() {
  return {Attributes().css_class("tick").anchor(Anchor::end), Attributes().css_class("grid")};
}

TickStyle x_tick_style(bool grid) {
  return {Attributes().css_class("tick").anchor(Anchor::middle),
          grid ? std::optional(Attributes().css_class("grid")) : std::nullopt};
}

std::vector<Tick> scale_ticks(const Scale& scale, TickFormat format, const std::vector<double>& values) {
  std::vector<Tick> ticks;
  for (double value : values.empty() ? scale.ticks() : values) {
    ticks.push_back({scale(value), {format_tick(value, format)}});
  }
  return ticks;
}

void draw_y_ticks(Document& document, const Area& frame, const std::vector<Tick>& ticks, const TickStyle& style) {
  for (const Tick& tick : ticks) {
    if (style.grid) document.line(frame.x, tick.at, frame.right(), tick.at, *style.grid);
    for (const std::string& line : tick.lines) {
      document.text(frame.x - kTickGap, tick.at + kBaselineDrop, line, style.label);
    }
  }
}

void draw_x_ticks(Document& document, const Area& frame, const std::vector<Tick>& ticks, const TickStyle& style) {
  for (const Tick& tick : ticks) {
    if (style.grid) document.line(tick.at, frame.y, tick.at, frame.bottom(), *style.grid);
    draw_lines(document, tick.at, frame.bottom() + kXTickY, tick.lines, style.label);
  }
}

void draw_axis_line(Document& document, const Area& frame, Edge edge, const Attributes& stroke) {
  if (edge == Edge::bottom) {
    document.line(frame.x, frame.bottom(), frame.right(), frame.bottom(), stroke);
  } else {
    document.line(frame.x, frame.y, frame.x, frame.bottom(), stroke);
  }
}

void draw_axes(Document& document, const Area& frame) {
  draw_axis_line(document, frame, Edge::bottom, Attributes().css_class("axis"));
  draw_axis_line(document, frame, Edge::left, Attributes().css_class("axis"));
}

void draw_axis_names(Document& document, const Area& frame, std::string_view x_name, double x_baseline,
                     std::string_view y_name, double y_centre_x) {
  document.text(frame.x + frame.width / 2, x_baseline, x_name, Attributes().css_class("label").anchor(Anchor::middle));
  const double y_centre = frame.y + frame.height / 2;
  document.text(y_centre_x, y_centre, y_name,
                Attributes().css_class("label").anchor(Anchor::middle).rotated(-90, y_centre_x, y_centre));
}

void draw_rule(Document& document, const Area& frame, double y, const Attributes& stroke) {
  document.line(frame.x, y, frame.right(), y, stroke);
}

void draw_dot(Document& document, double x, double y, const Attributes& attributes) {
  document.circle(x, y, kPointRadius, attributes);
}

void draw_ring(Document& document, double x, double y, const Attributes& attributes) {
  document.circle(x, y, kRingRadius, attributes);
}

void draw_triangle(Document& document, double x, double y, const Attributes& attributes) {
  document.polygon({{x - kTriangle.half_width, y - kTriangle.top},
                    {x + kTriangle.half_width, y - kTriangle.top},
                    {x, y + kTriangle.tip}},
                   attributes);
}

Attributes series_stroke(std::string_view color, bool dashed, bool faint) {
  Attributes stroke = Attributes().stroke(color).stroke_width(kSeriesStroke);
  if (dashed) stroke.dashes(kSeriesDashes);
  if (faint) stroke.opacity(kFaintOpacity);
  return stroke;
}

Attributes ring_style(Attributes base) { return base.fill("none").stroke("#000").stroke_width(kSeriesStroke); }

Attributes disturbed_style() { return ring_style(Attributes().css_class("disturbed")).dashes("2 2"); }

Attributes bound_style(std::string_view color, Attributes base) {
  return base.fill("#fff").stroke(color).stroke_width(kMarkerStroke);
}

void draw_error_bar(Document& document, double x, double y1, double y2, const Attributes& stroke, double cap) {
  document.line(x, y1, x, y2, stroke);
  if (cap <= 0) return;
  document.line(x - cap, y1, x + cap, y1, stroke);
  document.line(x - cap, y2, x + cap, y2, stroke);
}

void draw_bar(Document& document, const Bar& bar) {
  document.rect(bar.left, bar.top, bar.width, bar.bottom - bar.top, bar.attributes);
  const double centre = bar.left + bar.width / 2;
  if (bar.whisker) draw_error_bar(document, centre, bar.whisker->first, bar.whisker->second, bar.whisker_stroke);
  document.text(centre, bar.label_y, bar.label, Attributes().css_class("bar-label").anchor(Anchor::middle));
}

void Legend::entry(const Sample& sample, const std::vector<std::string>& lines, const Attributes& text,
                   std::optional<double> step) {
  const bool hangs = style_.hanging_swatches && sample.shape == Sample::Shape::swatch;
  const double centre = hangs ? y_ + style_.swatch_height / 2 : y_;
  draw_sample(sample, centre);
  draw_lines(document_, x_ + style_.text_x, centre + kBaselineDrop, lines, text);
  // An entry of more lines takes their room from the entries below it.
  y_ += step.value_or(style_.step + kLineHeight * static_cast<double>(lines.size() > 1 ? lines.size() - 1 : 0));
}

void Legend::text(const std::vector<std::string>& lines, const Attributes& text, double step) {
  draw_lines(document_, x_, y_ + kBaselineDrop, lines, text);
  y_ += step;
}

void Legend::draw_sample(const Sample& sample, double centre) {
  const double width = style_.sample_width;
  const double middle = x_ + width / 2;
  switch (sample.shape) {
    case Sample::Shape::none:
      break;
    case Sample::Shape::line:
      document_.line(x_, centre, x_ + width, centre, sample.attributes);
      break;
    case Sample::Shape::dot_on_line:
      document_.line(x_, centre, x_ + width, centre, sample.attributes);
      draw_dot(document_, middle, centre, Attributes().fill(sample.dot_color));
      break;
    case Sample::Shape::swatch:
      document_.rect(x_, centre - style_.swatch_height / 2, width, style_.swatch_height, sample.attributes);
      break;
    case Sample::Shape::ring:
      draw_ring(document_, middle, centre, sample.attributes);
      break;
    case Sample::Shape::triangle:
      draw_triangle(document_, middle, centre, sample.attributes);
      break;
    case Sample::Shape::error_bar:
      draw_error_bar(document_, middle, centre - kLegendErrorBarHalfHeight, centre + kLegendErrorBarHalfHeight,
                     sample.attributes);
      break;
  }
}

Area HeatGrid::frame() const {
  return Area{left, top, cell_width * static_cast<double>(column_labels.size()),
              cell_height * static_cast<double>(row_labels.size())};
}

Area HeatGrid::cell(std::size_t row, std::size_t column) const {
  return Area{left + cell_width * static_cast<double>(column), top + cell_height * static_cast<double>(row), cell_width,
              cell_height};
}

namespace {

void draw_heat_cell(Document& document, const HeatCell& cell, const Area& area) {
  document.rect(area.x, area.y, area.width, area.height, cell.attributes);
  Attributes text = Attributes().css_class("cell-text");
  Attributes second = Attributes().css_class("interval-text");
  if (cell.dark) {
    text.style("fill:#fff");
    second.style("fill:#fff");
  }
  const double centre = area.x + area.width / 2;
  if (cell.second_line.empty()) {
    document.text(centre, area.y + area.height / 2 + kBaselineDrop, cell.text, text);
    return;
  }
  document.text(centre, area.y + kHeatLines.first, cell.text, text);
  document.text(centre, area.y + kHeatLines.second, cell.second_line, second);
}

}  // namespace

void draw_heat_grid(Document& document, const HeatGrid& grid) {
  const std::size_t columns = grid.column_labels.size();
  for (std::size_t column = 0; column < columns; ++column) {
    document.text(grid.left + grid.cell_width * (static_cast<double>(column) + 0.5), grid.top - kHeatLabelGaps.columns,
                  grid.column_labels[column], Attributes().css_class("tick").anchor(Anchor::middle));
  }
  document.open_group(Attributes().css_class("cells"));
  for (std::size_t row = 0; row < grid.row_labels.size(); ++row) {
    const Area first = grid.cell(row, 0);
    document.text(grid.left - kHeatLabelGaps.rows, first.y + first.height / 2 + kBaselineDrop, grid.row_labels[row],
                  Attributes().css_class("tick").anchor(Anchor::end));
    for (std::size_t column = 0; column < columns; ++column) {
      draw_heat_cell(document, grid.cells[row * columns + column], grid.cell(row, column));
    }
  }
  document.close_group();
}

void draw_boundaries(Document& document, const HeatGrid& grid, const std::vector<int>& sides, const Attributes& line) {
  const std::size_t rows = grid.row_labels.size();
  const std::size_t columns = grid.column_labels.size();
  for (std::size_t row = 0; row < rows; ++row) {
    for (std::size_t column = 0; column < columns; ++column) {
      const int side = sides[row * columns + column];
      const Area cell = grid.cell(row, column);
      if (column + 1 < columns && side * sides[row * columns + column + 1] < 0) {
        document.line(cell.right(), cell.y, cell.right(), cell.bottom(), line);
      }
      if (row + 1 < rows && side * sides[(row + 1) * columns + column] < 0) {
        document.line(cell.x, cell.bottom(), cell.right(), cell.bottom(), line);
      }
    }
  }
}

std::string category_color(std::size_t index) {
  static constexpr std::array<std::string_view, 10> kColors{"#1f77b4", "#ff7f0e", "#2ca02c", "#d62728", "#9467bd",
                                                            "#8c564b", "#e377c2", "#7f7f7f", "#bcbd22", "#17becf"};
  return std::string(kColors[index % kColors.size()]);
}

std::string ordered_color(double position) {
  struct Rgb {
    double r, g, b;
  };
  static constexpr std::array<Rgb, 5> kStops{
      {{68, 1, 84}, {59, 82, 139}, {33, 145, 140}, {94, 201, 98}, {221, 200, 30}}};
  const double t = std::clamp(position, 0.0, 1.0) * (kStops.size() - 1);
  const auto index = std::min(static_cast<std::size_t>(t), kStops.size() - 2);
  const double f = t - static_cast<double>(index);
  const Rgb& a = kStops[index];
  const Rgb& b = kStops[index + 1];
  return rgb_color(a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f);
}

std::string rgb_color(double red, double green, double blue) {
  const auto channel = [](double value) { return static_cast<int>(std::lround(std::clamp(value, 0.0, 255.0))); };
  return fmt::format("#{:02x}{:02x}{:02x}", channel(red), channel(green), channel(blue));
}

}  // namespace study::svg
