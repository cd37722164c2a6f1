#include "study/charts/grid_charts.hpp"

#include <algorithm>
#include <cmath>

#include "analysis/text/text_format.hpp"
#include "study/charts/chart_colors.hpp"
#include "study/charts/line_plot.hpp"
#include "study/charts/time_ratio.hpp"

namespace study {
namespace {

using namespace svg;

// White at a ratio of 1, red where counting sort wins, blue where quicksort wins.
std::string ratio_color(const Ratio& ratio) {
  if (!ratio.known) return "#d9d9d9";
  const double t = std::clamp(std::log10(ratio.value) / 2.0, -1.0, 1.0);
  const double f = std::fabs(t);
  const auto towards = [f](double end) { return 255 + (end - 255) * f; };
  return t > 0 ? rgb_color(towards(178), towards(24), towards(43)) : rgb_color(towards(33), towards(102), towards(172));
}

std::string range_label(const std::string& label) {
  const auto value = numeric_label(label);
  return value ? format_tick(*value, TickFormat::count) : label;
}

}  // namespace

ChartFile grid_heat_map(const analysis::ResultFile& result, std::string_view stem, std::string_view program,
                        const PreciseTimes& precise) {
  const analysis::CellTable& quick = result.tables[0];
  const analysis::CellTable& counting = result.tables[1];
  const std::size_t rows = quick.row_labels.size();
  const std::size_t columns = quick.column_labels.size();
  constexpr double kCellWidth = 88, kCellHeight = 32, kLeft = 120, kTop = 104;
  const double width = kLeft + kCellWidth * static_cast<double>(columns) + 260;
  const double height = std::max(kTop + kCellHeight * static_cast<double>(rows) + 40, 420.0);
  const std::string title = std::string(program) + ": quicksort time / counting sort time";
  Document document(width, height, title);
  document.text(12, 22, title, Attributes().css_class("title"));
  document.text(12, 40,
                "above 1\xc3\x97 counting sort is faster, below 1\xc3\x97 quicksort; "
                "the thick line is the break-even",
                Attributes().css_class("subtitle"));
  if (!precise.empty()) document.text(12, 54, precise.runs_note(), Attributes().css_class("note"));
  const double grid_right = kLeft + kCellWidth * static_cast<double>(columns);
  document.text((kLeft + grid_right) / 2, 66, "value range k (values 1..k)",
                Attributes().css_class("label").anchor(Anchor::middle));
  const double label_y = kTop + kCellHeight * static_cast<double>(rows) / 2;
  document.text(18, label_y, "array length n",
                Attributes().css_class("label").anchor(Anchor::middle).rotated(-90, 18, label_y));

  std::vector<Ratio> ratios(rows * columns);
  std::vector<std::optional<analysis::RatioEstimate>> estimates(rows * columns);
  for (std::size_t row = 0; row < rows; ++row) {
    for (std::size_t column = 0; column < columns; ++column) {
      const std::size_t at = row * columns + column;
      estimates[at] = precise.ratio(quick.name, counting.name, quick.row_labels[row], quick.column_labels[column]);
      if (estimates[at]) {
        ratios[at].known = true;
        ratios[at].value = estimates[at]->ratio;
      } else {
        ratios[at] = ratio_of(quick.cell(row, column), counting.cell(row, column));
      }
    }
  }
  bool any_undecided = false;
  for (std::size_t column = 0; column < columns; ++column) {
    document.text(kLeft + kCellWidth * (static_cast<double>(column) + 0.5), kTop - 10,
                  range_label(quick.column_labels[column]), Attributes().css_class("tick").anchor(Anchor::middle));
  }
  document.open_group(Attributes().css_class("cells"));
  for (std::size_t row = 0; row < rows; ++row) {
    const double top = kTop + kCellHeight * static_cast<double>(row);
    document.text(kLeft - 8, top + kCellHeight / 2 + 4, analysis::with_thousands(quick.row_labels[row]),
                  Attributes().css_class("tick").anchor(Anchor::end));
    for (std::size_t column = 0; column < columns; ++column) {
      const Ratio& ratio = ratios[row * columns + column];
      const std::optional<analysis::RatioEstimate>& estimate = estimates[row * columns + column];
      const bool interval = estimate && estimate->interval.coverage > 0;
      // Over repeated runs, a cell whose interval holds 1x has no winner at this N.
      const bool undecided = interval && !estimate->distinguishable();
      any_undecided |= undecided;
      const double left = kLeft + kCellWidth * static_cast<double>(column);
      Attributes cell = Attributes()
                            .css_class(undecided ? "cell undecided" : "cell")
                            .fill(ratio_color(ratio))
                            .stroke(undecided ? "#333" : "#fff")
                            .data("n", quick.row_labels[row])
                            .data("k", quick.column_labels[column])
                            .data("side", ratio.side());
      if (undecided) cell.dashes("3 2");
      document.rect(left, top, kCellWidth, kCellHeight, cell);
      const bool dark = ratio.known && std::fabs(std::log10(ratio.value)) > 1.2;
      Attributes text = Attributes().css_class("cell-text");
      if (dark) text.style("fill:#fff");
      if (interval) {
        document.text(left + kCellWidth / 2, top + 14, ratio_text(ratio), text);
        Attributes note = Attributes().css_class("interval-text");
        if (dark) note.style("fill:#fff");
        document.text(left + kCellWidth / 2, top + 26,
                      analysis::significant(estimate->interval.low, 2) + "\xe2\x80\x93" +
                          analysis::significant(estimate->interval.high, 2),
                      note);
      } else {
        document.text(left + kCellWidth / 2, top + kCellHeight / 2 + 4, ratio_text(ratio), text);
      }
    }
  }
  document.close_group();
  // Break-even: every edge between a cell won by quicksort and one won by counting sort.
  document.open_group(Attributes().css_class("break-even-line"));
  for (std::size_t row = 0; row < rows; ++row) {
    for (std::size_t column = 0; column < columns; ++column) {
      const int side = ratios[row * columns + column].side();
      const double left = kLeft + kCellWidth * static_cast<double>(column);
      const double top = kTop + kCellHeight * static_cast<double>(row);
      if (column + 1 < columns && side * ratios[row * columns + column + 1].side() < 0) {
        document.line(left + kCellWidth, top, left + kCellWidth, top + kCellHeight,
                      Attributes().css_class("break-even"));
      }
      if (row + 1 < rows && side * ratios[(row + 1) * columns + column].side() < 0) {
        document.line(left, top + kCellHeight, left + kCellWidth, top + kCellHeight,
                      Attributes().css_class("break-even"));
      }
    }
  }
  document.close_group();

  const double lx = grid_right + 30;
  double ly = kTop;
  document.text(lx, ly - 10, "quicksort / counting sort", Attributes().css_class("label"));
  for (double value : {100.0, 10.0, 3.0, 1.0, 1 / 3.0, 0.1, 0.01}) {
    Ratio swatch;
    swatch.known = true;
    swatch.value = value;
    document.rect(lx, ly, 28, 20, Attributes().fill(ratio_color(swatch)).stroke("#999"));
    std::string text = ratio_text(swatch);
    if (value == 100.0) text = "\xe2\x89\xa5" + text + " counting sort faster";
    if (value == 1.0) text += " break-even";
    if (value == 0.01) text = "\xe2\x89\xa4" + text + " quicksort faster";
    document.text(lx + 36, ly + 14, text, Attributes().css_class("note"));
    ly += 24;
  }
  if (precise.empty()) {
    document.rect(lx, ly, 28, 20, Attributes().fill("#d9d9d9").stroke("#999"));
    document.text(lx + 36, ly + 14, "both below 0.01 s", Attributes().css_class("note"));
    ly += 30;
    document.text(lx, ly + 4, "< or >: one time below 0.01 s,", Attributes().css_class("note"));
    document.text(lx, ly + 18, "so the ratio is only a bound", Attributes().css_class("note"));
    ly += 36;
  } else if (precise.runs() == 1) {
    ly += 12;
  } else {
    ly += 12;
    document.text(lx, ly + 4, "a cell's second line, its interval:", Attributes().css_class("note"));
    document.text(lx, ly + 18, precise.interval_label(), Attributes().css_class("note"));
    ly += 34;
    if (any_undecided) {
      document.rect(lx, ly, 28, 20, Attributes().fill("#fff").stroke("#333").dashes("3 2"));
      document.text(lx + 36, ly + 14, "holds 1\xc3\x97: no winner at this N", Attributes().css_class("note"));
      ly += 30;
    }
  }
  document.line(lx, ly, lx + 28, ly, Attributes().css_class("break-even"));
  document.text(lx + 36, ly + 4, "break-even", Attributes().css_class("note"));
  return {std::string(stem) + "-ratio-heatmap.svg", document.finish()};
}

ChartFile grid_times_by_range(const analysis::ResultFile& result, std::string_view stem, std::string_view program,
                              const PreciseTimes& precise) {
  const analysis::CellTable& quick = result.tables[0];
  const analysis::CellTable& counting = result.tables[1];
  const std::size_t panels = quick.column_labels.size();
  constexpr std::size_t kPerRow = 4;
  constexpr double kPanelWidth = 330, kPanelHeight = 290, kTop = 60;
  const std::size_t panel_rows = (panels + 1 + kPerRow - 1) / kPerRow;  // one slot for the legend
  const double width = kPanelWidth * kPerRow;
  const double height = kTop + kPanelHeight * static_cast<double>(panel_rows);
  const std::string title = std::string(program) + ": sort time against array length, one plot per value range";
  Document document(width, height, title);
  document.text(12, 22, title, Attributes().css_class("title"));
  std::string subtitle = "both axes log scale; the same time axis in every plot";
  if (!precise.empty()) subtitle += "; " + precise.source_note();
  document.text(12, 40, subtitle, Attributes().css_class("subtitle"));

  double lo = kResolutionSeconds, hi = kResolutionSeconds * 10;
  for (const analysis::CellTable* table : {&quick, &counting}) {
    for (std::int64_t cell : table->hundredths) {
      if (cell > 0) {
        lo = std::min(lo, seconds(cell));
        hi = std::max(hi, seconds(cell));
      }
    }
    for (std::size_t row = 0; row < table->row_labels.size(); ++row) {
      for (const std::string& column : table->column_labels) {
        if (const auto time = precise.time(table->name, table->row_labels[row], column)) {
          lo = std::min(lo, time->low);
          hi = std::max(hi, time->high);
        }
      }
    }
  }
  const auto [shortest, longest] = std::minmax_element(quick.row_labels.begin(), quick.row_labels.end());
  std::vector<double> decades;
  for (double decade = 1; decade <= static_cast<double>(*longest); decade *= 10) {
    if (decade >= static_cast<double>(*shortest)) decades.push_back(decade);
  }
  bool any_zero = false;
  for (std::size_t column = 0; column < panels; ++column) {
    LinePlot plot;
    plot.title = "values 1.." + range_label(quick.column_labels[column]);
    plot.x_label = "array length n";
    plot.y_label = "sort time";
    plot.x_log = true;
    plot.y_log = true;
    plot.x_format = TickFormat::count;
    plot.y_format = TickFormat::seconds;
    plot.x_ticks = decades;
    plot.y_min = lo;
    plot.y_max = hi;
    plot.interval_label = precise.interval_label();
    for (std::size_t algorithm = 0; algorithm < 2; ++algorithm) {
      const analysis::CellTable& table = algorithm == 0 ? quick : counting;
      PlotSeries series;
      series.key = table.name;
      series.color = category_color(algorithm);
      series.dashed = algorithm == 1;
      for (std::size_t row = 0; row < table.row_labels.size(); ++row) {
        const std::int64_t cell = table.cell(row, column);
        const auto time = precise.time(table.name, table.row_labels[row], table.column_labels[column]);
        if (!time && cell < 0) continue;
        PlotPoint point;
        point.x = static_cast<double>(table.row_labels[row]);
        if (time) {
          point.y = time->median;
          if (time->has_interval()) point.interval = std::pair(time->low, time->high);
        } else {
          point.y = cell == 0 ? kResolutionSeconds : seconds(cell);
          point.below_resolution = cell == 0;
          any_zero |= cell == 0;
        }
        series.points.push_back(std::move(point));
      }
      plot.series.push_back(std::move(series));
    }
    const double x = kPanelWidth * static_cast<double>(column % kPerRow);
    const double y = kTop + kPanelHeight * static_cast<double>(column / kPerRow);
    document.open_group(Attributes().css_class("panel").data("k", quick.column_labels[column]));
    draw_line_plot(document, plot, Area{x, y, kPanelWidth, kPanelHeight}, 0);
    document.close_group();
  }
  const double lx = kPanelWidth * static_cast<double>(panels % kPerRow) + 40;
  double ly = kTop + kPanelHeight * static_cast<double>(panels / kPerRow) + 60;
  for (std::size_t algorithm = 0; algorithm < 2; ++algorithm) {
    Attributes stroke = Attributes().stroke(category_color(algorithm)).stroke_width(2);
    if (algorithm == 1) stroke.dashes("7 4");
    document.line(lx, ly, lx + 30, ly, stroke);
    document.text(lx + 40, ly + 4, algorithm == 0 ? "QSORT  quicksort" : "CSORT  counting sort");
    ly += 22;
  }
  if (precise.runs() > 1) {
    draw_error_bar(document, lx + 15, ly - 7, ly + 7, Attributes().stroke("#444"));
    document.text(lx + 40, ly + 4, precise.interval_label(), Attributes().css_class("note"));
    ly += 22;
  }
  if (any_zero) {
    document.polygon({{lx + 10, ly - 4}, {lx + 20, ly - 4}, {lx + 15, ly + 5}},
                     Attributes().fill("#fff").stroke("#444").stroke_width(1.5));
    document.text(lx + 40, ly + 4, "below the clock's resolution (< 0.01 s)", Attributes().css_class("note"));
  }
  return {std::string(stem) + "-times-by-range.svg", document.finish()};
}

}  // namespace study
