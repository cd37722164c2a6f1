#include <fmt/format.h>

#include <algorithm>
#include <cmath>

#include "analysis/text/text_format.hpp"
#include "study/charts/chart_text.hpp"
#include "study/charts/family_charts.hpp"
#include "study/charts/line_plot.hpp"

namespace study {
namespace {

using namespace svg;
using namespace svg::layout;

// The tables of the file: quicksort first, counting sort second.
constexpr std::size_t kQuick = 0;
constexpr std::size_t kCounting = 1;

// White at a ratio of 1, red where counting sort wins, blue where quicksort wins.
std::string ratio_color(const Ratio& ratio) {
  if (!ratio.known) return "#d9d9d9";
  const double t = std::clamp(std::log10(ratio.value) / kHeatFullDecades, -1.0, 1.0);
  const double f = std::fabs(t);
  const auto towards = [f](double end) { return 255 + (end - 255) * f; };
  return t > 0 ? rgb_color(towards(178), towards(24), towards(43)) : rgb_color(towards(33), towards(102), towards(172));
}

std::string range_label(const std::string& label) {
  const auto value = numeric_label(label);
  return value ? format_tick(*value, TickFormat::count) : label;
}

// The ratios of the cells, what side of 1 each stands on, and whether any is undecided.
struct RatioCells {
  HeatGrid grid;
  std::vector<int> sides;
  bool any_undecided = false;
  bool any_disturbed = false;
};

HeatCell ratio_cell(const ChartRatio& ratio, std::int64_t length, const std::string& range) {
  // Over repeated runs, a cell whose interval holds 1x has no winner at this N.
  const bool undecided = ratio.undecided();
  HeatCell cell;
  cell.attributes = Attributes()
                        .css_class(undecided ? "cell undecided" : "cell")
                        .fill(ratio_color(ratio.ratio))
                        .stroke(undecided ? "#333" : "#fff")
                        .data("n", length)
                        .data("k", range)
                        .data("side", ratio.ratio.side());
  if (undecided) cell.attributes.dashes(kOutlineDashes);
  cell.text = ratio_text(ratio.ratio);
  if (ratio.disturbed) cell.text += kDisturbedTextMark;
  if (ratio.interval) cell.second_line = ratio_interval_text(*ratio.interval);
  cell.dark = ratio.ratio.known && std::fabs(std::log10(ratio.ratio.value)) > kHeatDarkDecades;
  return cell;
}

RatioCells ratio_cells(const ChartData& data) {
  const ChartTable& quick = data.tables()[kQuick];
  RatioCells cells;
  cells.grid = HeatGrid{kHeatMargins.left, kHeatMargins.top, kHeatCell.width, kHeatCell.height, {}, {}, {}};
  for (std::int64_t length : quick.rows) cells.grid.row_labels.push_back(analysis::with_thousands(length));
  for (const std::string& range : quick.columns) cells.grid.column_labels.push_back(range_label(range));
  for (std::size_t row = 0; row < quick.rows.size(); ++row) {
    for (std::size_t column = 0; column < quick.columns.size(); ++column) {
      const ChartRatio ratio = data.ratio(kQuick, kCounting, row, column);
      cells.grid.cells.push_back(ratio_cell(ratio, quick.rows[row], quick.columns[column]));
      cells.sides.push_back(ratio.ratio.side());
      cells.any_undecided |= ratio.undecided();
      cells.any_disturbed |= ratio.disturbed;
    }
  }
  return cells;
}

// The colour key, then what the cells' texts say of their source.
void draw_ratio_key(Document& document, const Coverage& coverage, const Area& cells, const RatioCells& marks) {
  const double x = cells.right() + kHeatKeyPlace.gap;
  const double y = cells.y + kHeatKeyPlace.top;
  const auto [quick, counting] = kRacedSorts;
  document.text(x, y - kHeatKeyTitleAbove, fmt::format("{} / {}", quick.legend, counting.legend),
                Attributes().css_class("label"));
  Legend key(document, x, y, kHeatKey);
  const Attributes note = Attributes().css_class("note");
  for (double value : {100.0, 10.0, 3.0, 1.0, 1 / 3.0, 0.1, 0.01}) {
    const Ratio swatch{value, 0, true};
    std::string text = ratio_text(swatch);
    if (value == 100.0) text = fmt::format("\u2265{} {} faster", text, counting.legend);
    if (value == 1.0) text += " break-even";
    if (value == 0.01) text = fmt::format("\u2264{} {} faster", text, quick.legend);
    key.entry(Sample::swatch(Attributes().fill(ratio_color(swatch)).stroke("#999")), {text}, note);
  }
  if (coverage.runs == 0) {
    key.entry(Sample::swatch(Attributes().fill(ratio_color(Ratio{})).stroke("#999")), {"both below 0.01 s"}, note,
              kHeatKeyNotes.swatch_step);
    key.text({"< or >: one time below 0.01 s,", "so the ratio is only a bound"}, note, kHeatKeyNotes.bounds_step);
  } else {
    key.skip(kHeatKeyNotes.gap);
    if (coverage.runs > 1) {
      std::vector<std::string> lines = interval_label_lines(coverage);
      lines.insert(lines.begin(), "a cell's second line, its interval:");
      key.text(lines, note, kHeatKeyNotes.runs_step + kLineHeight * static_cast<double>(lines.size() - 2));
    }
    if (coverage.runs > 1 && marks.any_undecided) {
      key.entry(Sample::swatch(Attributes().fill("#fff").stroke("#333").dashes(kOutlineDashes)),
                {"holds 1\xc3\x97: no winner at this N"}, note, kHeatKeyNotes.swatch_step);
    }
    if (marks.any_disturbed) key.text(disturbed_text_note(), note, kHeatKeyNotes.runs_step);
  }
  key.entry(Sample::line(Attributes().css_class("break-even")), {"break-even"}, note);
}

// One value range: both sorts' times against the length, on the time axis all panels share.
LinePlot range_panel(const ChartData& data, std::size_t column, const TimeSpan& span,
                     const std::vector<double>& decades) {
  LinePlot plot;
  plot.title = "values 1.." + range_label(data.tables()[kQuick].columns[column]);
  plot.x_label = "array length n";
  plot.y_label = "sort time";
  plot.x_log = true;
  plot.y_log = true;
  plot.x_format = TickFormat::count;
  plot.y_format = TickFormat::seconds;
  plot.x_ticks = decades;
  plot.y_min = span.lo;
  plot.y_max = span.hi;
  plot.interval_lines = interval_label_lines(data.coverage());
  for (std::size_t sort : {kQuick, kCounting}) {
    const ChartTable& table = data.tables()[sort];
    PlotSeries series;
    series.key = table.name;
    series.color = category_color(sort);
    series.dashed = sort == kCounting;
    for (std::size_t row = 0; row < table.rows.size(); ++row) {
      const ChartValue& time = table.at(row, column);
      if (time.shown()) series.points.push_back(plot_point(static_cast<double>(table.rows[row]), time));
    }
    plot.series.push_back(std::move(series));
  }
  return plot;
}

// The whole decades between the shortest and the longest length.
std::vector<double> length_decades(const ChartTable& table) {
  const auto [shortest, longest] = std::minmax_element(table.rows.begin(), table.rows.end());
  std::vector<double> decades;
  for (double decade = 1; decade <= static_cast<double>(*longest); decade *= 10) {
    if (decade >= static_cast<double>(*shortest)) decades.push_back(decade);
  }
  return decades;
}

// The place of panel `slot`, row by row below the titles.
Area panel_slot(std::size_t slot) {
  return Area{kPanel.width * static_cast<double>(slot % kPanelsPerRow),
              kPanelsTop + kPanel.height * static_cast<double>(slot / kPanelsPerRow), kPanel.width, kPanel.height};
}

struct PanelMarks {
  bool any_bound = false;
  bool any_disturbed = false;
};

void draw_panels_legend(Document& document, const Coverage& coverage, std::size_t panels, PanelMarks marks) {
  const Area slot = panel_slot(panels);  // the first free one after the panels
  Legend legend(document, slot.x + kPanelLegendPlace.gap, slot.y + kPanelLegendPlace.top, kPanelLegend);
  for (std::size_t sort : {kQuick, kCounting}) {
    legend.entry(Sample::line(series_stroke(category_color(sort), sort == kCounting, false)),
                 {legend_entry(kRacedSorts[sort])});
  }
  const Attributes note = Attributes().css_class("note");
  if (coverage.runs > 1)
    legend.entry(Sample::error_bar(Attributes().stroke("#444")), interval_label_lines(coverage), note);
  if (marks.any_bound) {
    legend.entry(Sample::triangle(bound_style("#444")), {"below the clock's resolution (< 0.01 s)"}, note);
  }
  if (marks.any_disturbed) legend.entry(Sample::ring(disturbed_style()), {LinePlot{}.disturbed_label}, note);
}

}  // namespace

ChartFile grid_heat_map(const ChartData& data, std::string_view stem, std::string_view program) {
  const RatioCells cells = ratio_cells(data);
  const Area frame = cells.grid.frame();
  const double width = frame.right() + kHeatMargins.right;
  const double height = std::max(frame.bottom() + kHeatMargins.bottom, kHeatLeastHeight);
  const auto [quick, counting] = kRacedSorts;
  const std::string title = fmt::format("{}: {} time / {} time", program, quick.legend, counting.legend);
  Document document(width, height, title);
  draw_titles(document, Area{0, 0, width, height}, title,
              fmt::format("above 1\u00d7 {} is faster, below 1\u00d7 {}; the thick line is the break-even",
                          counting.legend, quick.legend));
  if (data.precise())
    document.text(kTitles.x, kTitles.note_y, runs_note(data.coverage()), Attributes().css_class("note"));
  draw_axis_names(document, frame, "value range k (values 1..k)", kHeatXNameY, "array length n", kHeatYNameX);
  draw_heat_grid(document, cells.grid);
  // Break-even: every edge between a cell won by quicksort and one won by counting sort.
  document.open_group(Attributes().css_class("break-even-line"));
  draw_boundaries(document, cells.grid, cells.sides, Attributes().css_class("break-even"));
  document.close_group();
  draw_ratio_key(document, data.coverage(), frame, cells);
  return {std::string(stem) + "-ratio-heatmap.svg", document.finish()};
}

ChartFile grid_times_by_range(const ChartData& data, std::string_view stem, std::string_view program) {
  const std::size_t panels = data.tables()[kQuick].columns.size();
  const std::size_t panel_rows = (panels + 1 + kPanelsPerRow - 1) / kPanelsPerRow;  // one slot for the legend
  const double width = kPanel.width * kPanelsPerRow;
  const double height = kPanelsTop + kPanel.height * static_cast<double>(panel_rows);
  const std::string title = std::string(program) + ": sort time against array length, one plot per value range";
  std::string subtitle = "both axes log scale; the same time axis in every plot";
  if (data.precise()) subtitle += "; " + source_note(data.coverage());
  Document document(width, height, title);
  draw_titles(document, Area{0, 0, width, height}, title, subtitle);

  TimeSpan span;
  PanelMarks marks;
  for (const ChartTable& table : data.tables()) {
    for (const ChartValue& time : table.values) {
      span.widen(time);
      marks.any_bound |= time.below_resolution();
      marks.any_disturbed |= time.disturbed;
    }
  }
  const std::vector<double> decades = length_decades(data.tables()[kQuick]);
  for (std::size_t column = 0; column < panels; ++column) {
    document.open_group(Attributes().css_class("panel").data("k", data.tables()[kQuick].columns[column]));
    draw_line_plot(document, range_panel(data, column, span, decades), panel_slot(column), 0);
    document.close_group();
  }
  draw_panels_legend(document, data.coverage(), panels, marks);
  return {std::string(stem) + "-times-by-range.svg", document.finish()};
}

}  // namespace study
