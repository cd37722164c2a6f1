#include "study/result_charts.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>

#include "study/output_files.hpp"
#include "study/suite_programs.hpp"
#include "study/svg.hpp"

namespace study {
namespace {

using svg::Area;
using svg::Document;
using svg::LinePlot;
using svg::PlotPoint;
using svg::PlotSeries;
using svg::TickFormat;

// One hundredth of a second: the smallest time a cell can show.
constexpr double kResolutionSeconds = 0.01;
// Times below ten hundredths move in steps of 10% or more: such lines are drawn pale.
constexpr std::int64_t kCoarseHundredths = 10;

double seconds(std::int64_t hundredths) { return static_cast<double>(hundredths) / 100.0; }

std::string seconds_text(std::int64_t hundredths) {
  const bool negative = hundredths < 0;
  const std::int64_t magnitude = negative ? -hundredths : hundredths;
  std::string text = negative ? "-" : "";
  text += std::to_string(magnitude / 100);
  text += '.';
  text += static_cast<char>('0' + magnitude % 100 / 10);
  text += static_cast<char>('0' + magnitude % 10);
  return text;
}

std::string algorithm_name(std::string_view label) {
  static const std::map<std::string_view, std::string_view> kNames{{"QS", "quicksort"},      {"MS", "merge sort"},
                                                                   {"HS", "heap sort"},      {"BS", "bubble sort"},
                                                                   {"IS", "insertion sort"}, {"SS", "selection sort"}};
  const auto found = kNames.find(label);
  return found == kNames.end() ? std::string(label) : std::string(label) + "  " + std::string(found->second);
}

std::string with_thousands(std::int64_t value) {
  const std::string digits = std::to_string(value);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && digits[i - 1] != '-' && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

std::string attribute(std::string_view name, std::string_view value) {
  return std::string(name) + "=\"" + svg::escape(value) + "\"";
}

std::optional<double> numeric_label(std::string_view label) {
  double value = 0;
  const auto [end, error] = std::from_chars(label.data(), label.data() + label.size(), value);
  if (error != std::errc() || end != label.data() + label.size()) return std::nullopt;
  return value;
}

// ---- small arrays: time per array against length, one line per algorithm

ChartFile small_arrays_chart(const ResultFile& result, std::string_view stem, std::string_view program) {
  const CellTable& table = result.tables.front();
  const SuiteProgram* known = find_suite_program(program);
  const std::int64_t arrays = known ? known->arrays_per_cell : 1;
  const double floor = kResolutionSeconds / static_cast<double>(arrays);

  LinePlot plot;
  plot.title = std::string(program) + ": time per array against array length";
  plot.subtitle = arrays > 1 ? "each cell divided by the " + with_thousands(arrays) + " arrays it sorted; log scale"
                             : "time of one batch over all arrays; log scale";
  plot.x_label = "array length n (elements)";
  plot.y_label = arrays > 1 ? "time per array" : "time per batch";
  plot.y_log = true;
  plot.y_format = TickFormat::seconds;
  plot.below_resolution_label = "below the clock's resolution (< " + svg::format_tick(floor, TickFormat::seconds) + ")";
  if (table.row_labels.size() <= 20) {
    for (std::int64_t n : table.row_labels) plot.x_ticks.push_back(static_cast<double>(n));
  }
  for (std::size_t column = 0; column < table.column_labels.size(); ++column) {
    PlotSeries series;
    series.key = table.column_labels[column];
    series.label = algorithm_name(series.key);
    series.color = svg::category_color(column);
    for (std::size_t row = 0; row < table.row_labels.size(); ++row) {
      const std::int64_t cell = table.cell(row, column);
      if (cell < 0) continue;  // the clock went back during this batch: no time to show
      PlotPoint point;
      point.x = static_cast<double>(table.row_labels[row]);
      point.y = cell == 0 ? floor : seconds(cell) / static_cast<double>(arrays);
      point.below_resolution = cell == 0;
      point.data = attribute("data-n", std::to_string(table.row_labels[row]));
      series.points.push_back(std::move(point));
    }
    plot.series.push_back(std::move(series));
  }
  Document document(960, 560, plot.title);
  svg::draw_line_plot(document, plot, Area{0, 0, 960, 560}, 200);
  return {std::string(stem) + "-time-per-array.svg", plot.title, document.finish()};
}

// ---- tallyduel: both times of every input side by side

ChartFile duel_chart(const ResultFile& result, std::string_view stem, std::string_view program) {
  const std::string title = std::string(program) + ": quicksort and counting sort on each input";
  constexpr double kWidth = 1000, kHeight = 560;
  const Area frame{84, 64, kWidth - 84 - 210, kHeight - 64 - 84};
  Document document(kWidth, kHeight, title);
  document.text(12, 22, title, "class=\"title\"");
  document.text(12, 40, "one sort of each input per algorithm; log scale", "class=\"subtitle\"");

  double lo = kResolutionSeconds, hi = kResolutionSeconds * 10;
  for (const DuelInput& input : result.inputs) {
    for (std::int64_t cell : {input.quicksort, input.countingsort}) {
      if (cell > 0) {
        lo = std::min(lo, seconds(cell));
        hi = std::max(hi, seconds(cell));
      }
    }
  }
  // Half the resolution lies inside the axis, so a bar of one hundredth still shows.
  svg::Scale y = svg::fitted_scale(lo / 2, hi, true);
  y.pixel_lo = frame.y + frame.height;
  y.pixel_hi = frame.y;
  for (double tick : y.ticks()) {
    document.line(frame.x, y(tick), frame.x + frame.width, y(tick), "class=\"grid\"");
    document.text(frame.x - 6, y(tick) + 4, svg::format_tick(tick, TickFormat::seconds),
                  "class=\"tick\" text-anchor=\"end\"");
  }
  const double group = frame.width / static_cast<double>(std::max<std::size_t>(result.inputs.size(), 1));
  const double bar = std::min(group * 0.34, 40.0);
  const double bottom = frame.y + frame.height;
  const std::array<std::string, 2> names{"Quicksort", "Countingsort"};
  bool any_zero = false;
  for (std::size_t algorithm = 0; algorithm < 2; ++algorithm) {
    const std::string color = svg::category_color(algorithm);
    document.open_group("class=\"series\" " + attribute("data-series", names[algorithm]));
    for (std::size_t i = 0; i < result.inputs.size(); ++i) {
      const DuelInput& input = result.inputs[i];
      const std::int64_t cell = algorithm == 0 ? input.quicksort : input.countingsort;
      const double center = frame.x + group * (static_cast<double>(i) + 0.5);
      const double left = algorithm == 0 ? center - bar - 2 : center + 2;
      const std::string data =
          attribute("data-input", std::to_string(input.number)) + " " + attribute("data-seconds", seconds_text(cell));
      if (cell <= 0) {
        any_zero = true;
        const double top = y(kResolutionSeconds);
        document.rect(
            left, top, bar, bottom - top,
            "class=\"below-resolution\" fill=\"#fff\" stroke=\"" + color + "\" stroke-dasharray=\"3 2\" " + data);
        document.text(left + bar / 2, top - 4, cell == 0 ? "<0.01" : "?", "class=\"bar-label\" text-anchor=\"middle\"");
      } else {
        const double top = y(seconds(cell));
        document.rect(left, top, bar, bottom - top, "class=\"bar\" fill=\"" + color + "\" " + data);
        document.text(left + bar / 2, top - 4, seconds_text(cell), "class=\"bar-label\" text-anchor=\"middle\"");
      }
    }
    document.close_group();
  }
  for (std::size_t i = 0; i < result.inputs.size(); ++i) {
    const DuelInput& input = result.inputs[i];
    const double center = frame.x + group * (static_cast<double>(i) + 0.5);
    document.text(center, bottom + 16, "n = " + svg::format_tick(static_cast<double>(input.count), TickFormat::count),
                  "class=\"tick\" text-anchor=\"middle\"");
    document.text(center, bottom + 30, "1.." + svg::format_tick(static_cast<double>(input.range), TickFormat::count),
                  "class=\"tick\" text-anchor=\"middle\"");
  }
  document.line(frame.x, bottom, frame.x + frame.width, bottom, "class=\"axis\"");
  document.line(frame.x, frame.y, frame.x, bottom, "class=\"axis\"");
  document.text(frame.x + frame.width / 2, bottom + 58, "input: element count n, values 1..range",
                "class=\"label\" text-anchor=\"middle\"");
  const double label_y = frame.y + frame.height / 2;
  document.text(18, label_y, "sort time (seconds, log scale)",
                "class=\"label\" text-anchor=\"middle\" transform=\"rotate(-90 18 " + svg::number(label_y) + ")\"");

  const double lx = frame.x + frame.width + 24;
  double ly = frame.y + 6;
  for (std::size_t algorithm = 0; algorithm < 2; ++algorithm) {
    document.rect(lx, ly - 7, 20, 14, "fill=\"" + svg::category_color(algorithm) + "\"");
    document.text(lx + 28, ly + 4, algorithm == 0 ? "QSORT  quicksort" : "CSORT  counting sort");
    ly += 22;
  }
  if (any_zero) {
    document.rect(lx, ly - 7, 20, 14, "fill=\"#fff\" stroke=\"#444\" stroke-dasharray=\"3 2\"");
    document.text(lx + 28, ly + 4, "below the clock's resolution", "class=\"note\"");
    document.text(lx + 28, ly + 18, "(< 0.01 s)", "class=\"note\"");
  }
  return {std::string(stem) + "-duel.svg", title, document.finish()};
}

// ---- tallygrid: quicksort over counting sort for every cell

struct Ratio {
  double value = 1;  // the ratio, or the bound the zero cell allows
  int bound = 0;     // -1: at most value, +1: at least value, 0: exact
  bool known = false;
  // +1 counting sort faster, -1 quicksort faster, 0 tie or undecided
  int side() const {
    if (!known) return 0;
    if (bound == 0) return value > 1 ? 1 : value < 1 ? -1 : 0;
    if (bound < 0) return value <= 1 ? -1 : 0;
    return value >= 1 ? 1 : 0;
  }
};

// A zero cell took less than one hundredth, so it stands for "below 1".
Ratio ratio_of(std::int64_t numerator, std::int64_t denominator) {
  Ratio ratio;
  if (numerator < 0 || denominator < 0 || (numerator == 0 && denominator == 0)) return ratio;
  ratio.known = true;
  if (numerator == 0) {
    ratio.value = 1.0 / static_cast<double>(denominator);
    ratio.bound = -1;
  } else if (denominator == 0) {
    ratio.value = static_cast<double>(numerator);
    ratio.bound = 1;
  } else {
    ratio.value = static_cast<double>(numerator) / static_cast<double>(denominator);
  }
  return ratio;
}

std::string ratio_text(const Ratio& ratio) {
  if (!ratio.known) return "\xe2\x80\x93";
  const double v = ratio.value;
  std::string digits;
  if (v >= 10) {
    digits = std::to_string(static_cast<long long>(std::lround(v)));
  } else {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), v >= 1 ? "%.1f" : "%.2f", v);
    digits = text.data();
  }
  return (ratio.bound < 0 ? "<" : ratio.bound > 0 ? ">" : "") + digits + "\xc3\x97";
}

// White at a ratio of 1, red where counting sort wins, blue where quicksort wins.
std::string ratio_color(const Ratio& ratio) {
  if (!ratio.known) return "#d9d9d9";
  const double t = std::clamp(std::log10(ratio.value) / 2.0, -1.0, 1.0);
  const double f = std::fabs(t);
  const double r = t > 0 ? 255 + (178 - 255) * f : 255 + (33 - 255) * f;
  const double g = t > 0 ? 255 + (24 - 255) * f : 255 + (102 - 255) * f;
  const double b = t > 0 ? 255 + (43 - 255) * f : 255 + (172 - 255) * f;
  std::array<char, 8> text{};
  std::snprintf(text.data(), text.size(), "#%02x%02x%02x", static_cast<int>(std::lround(r)),
                static_cast<int>(std::lround(g)), static_cast<int>(std::lround(b)));
  return text.data();
}

ChartFile grid_heat_map(const ResultFile& result, std::string_view stem, std::string_view program) {
  const CellTable& quick = result.tables[0];
  const CellTable& counting = result.tables[1];
  const std::size_t rows = quick.row_labels.size();
  const std::size_t columns = quick.column_labels.size();
  constexpr double kCellWidth = 88, kCellHeight = 32, kLeft = 120, kTop = 104;
  const double width = kLeft + kCellWidth * static_cast<double>(columns) + 260;
  const double height = std::max(kTop + kCellHeight * static_cast<double>(rows) + 40, 420.0);
  const std::string title = std::string(program) + ": quicksort time / counting sort time";
  Document document(width, height, title);
  document.text(12, 22, title, "class=\"title\"");
  document.text(12, 40,
                "above 1\xc3\x97 counting sort is faster, below 1\xc3\x97 quicksort; "
                "the thick line is the break-even",
                "class=\"subtitle\"");
  const double grid_right = kLeft + kCellWidth * static_cast<double>(columns);
  document.text((kLeft + grid_right) / 2, 66, "value range k (values 1..k)", "class=\"label\" text-anchor=\"middle\"");
  const double label_y = kTop + kCellHeight * static_cast<double>(rows) / 2;
  document.text(18, label_y, "array length n",
                "class=\"label\" text-anchor=\"middle\" transform=\"rotate(-90 18 " + svg::number(label_y) + ")\"");

  std::vector<Ratio> ratios(rows * columns);
  for (std::size_t row = 0; row < rows; ++row) {
    for (std::size_t column = 0; column < columns; ++column) {
      ratios[row * columns + column] = ratio_of(quick.cell(row, column), counting.cell(row, column));
    }
  }
  for (std::size_t column = 0; column < columns; ++column) {
    const auto value = numeric_label(quick.column_labels[column]);
    document.text(kLeft + kCellWidth * (static_cast<double>(column) + 0.5), kTop - 10,
                  value ? svg::format_tick(*value, TickFormat::count) : quick.column_labels[column],
                  "class=\"tick\" text-anchor=\"middle\"");
  }
  document.open_group("class=\"cells\"");
  for (std::size_t row = 0; row < rows; ++row) {
    const double top = kTop + kCellHeight * static_cast<double>(row);
    document.text(kLeft - 8, top + kCellHeight / 2 + 4, with_thousands(quick.row_labels[row]),
                  "class=\"tick\" text-anchor=\"end\"");
    for (std::size_t column = 0; column < columns; ++column) {
      const Ratio& ratio = ratios[row * columns + column];
      const double left = kLeft + kCellWidth * static_cast<double>(column);
      document.rect(left, top, kCellWidth, kCellHeight,
                    "class=\"cell\" fill=\"" + ratio_color(ratio) + "\" stroke=\"#fff\" " +
                        attribute("data-n", std::to_string(quick.row_labels[row])) + " " +
                        attribute("data-k", quick.column_labels[column]) + " " +
                        attribute("data-side", std::to_string(ratio.side())));
      const bool dark = ratio.known && std::fabs(std::log10(ratio.value)) > 1.2;
      document.text(left + kCellWidth / 2, top + kCellHeight / 2 + 4, ratio_text(ratio),
                    std::string("class=\"cell-text\"") + (dark ? " style=\"fill:#fff\"" : ""));
    }
  }
  document.close_group();
  // Break-even: every edge between a cell won by quicksort and one won by counting sort.
  document.open_group("class=\"break-even-line\"");
  for (std::size_t row = 0; row < rows; ++row) {
    for (std::size_t column = 0; column < columns; ++column) {
      const int side = ratios[row * columns + column].side();
      const double left = kLeft + kCellWidth * static_cast<double>(column);
      const double top = kTop + kCellHeight * static_cast<double>(row);
      if (column + 1 < columns && side * ratios[row * columns + column + 1].side() < 0) {
        document.line(left + kCellWidth, top, left + kCellWidth, top + kCellHeight, "class=\"break-even\"");
      }
      if (row + 1 < rows && side * ratios[(row + 1) * columns + column].side() < 0) {
        document.line(left, top + kCellHeight, left + kCellWidth, top + kCellHeight, "class=\"break-even\"");
      }
    }
  }
  document.close_group();

  const double lx = grid_right + 30;
  double ly = kTop;
  document.text(lx, ly - 10, "quicksort / counting sort", "class=\"label\"");
  for (double value : {100.0, 10.0, 3.0, 1.0, 1 / 3.0, 0.1, 0.01}) {
    Ratio swatch;
    swatch.known = true;
    swatch.value = value;
    document.rect(lx, ly, 28, 20, "fill=\"" + ratio_color(swatch) + "\" stroke=\"#999\"");
    std::string text = ratio_text(swatch);
    if (value == 100.0) text = "\xe2\x89\xa5" + text + " counting sort faster";
    if (value == 1.0) text += " break-even";
    if (value == 0.01) text = "\xe2\x89\xa4" + text + " quicksort faster";
    document.text(lx + 36, ly + 14, text, "class=\"note\"");
    ly += 24;
  }
  document.rect(lx, ly, 28, 20, "fill=\"#d9d9d9\" stroke=\"#999\"");
  document.text(lx + 36, ly + 14, "both below 0.01 s", "class=\"note\"");
  ly += 30;
  document.text(lx, ly + 4, "< or >: one time below 0.01 s,", "class=\"note\"");
  document.text(lx, ly + 18, "so the ratio is only a bound", "class=\"note\"");
  ly += 36;
  document.line(lx, ly, lx + 28, ly, "class=\"break-even\"");
  document.text(lx + 36, ly + 4, "break-even", "class=\"note\"");
  return {std::string(stem) + "-ratio-heatmap.svg", title, document.finish()};
}

// Both times against length, one small plot per value range.
ChartFile grid_times_by_range(const ResultFile& result, std::string_view stem, std::string_view program) {
  const CellTable& quick = result.tables[0];
  const CellTable& counting = result.tables[1];
  const std::size_t panels = quick.column_labels.size();
  constexpr std::size_t kPerRow = 4;
  constexpr double kPanelWidth = 330, kPanelHeight = 290, kTop = 60;
  const std::size_t panel_rows = (panels + 1 + kPerRow - 1) / kPerRow;  // one slot for the legend
  const double width = kPanelWidth * kPerRow;
  const double height = kTop + kPanelHeight * static_cast<double>(panel_rows);
  const std::string title = std::string(program) + ": sort time against array length, one plot per value range";
  Document document(width, height, title);
  document.text(12, 22, title, "class=\"title\"");
  document.text(12, 40, "both axes log scale; the same time axis in every plot", "class=\"subtitle\"");

  double lo = kResolutionSeconds, hi = kResolutionSeconds * 10;
  for (const CellTable* table : {&quick, &counting}) {
    for (std::int64_t cell : table->hundredths) {
      if (cell > 0) {
        lo = std::min(lo, seconds(cell));
        hi = std::max(hi, seconds(cell));
      }
    }
  }
  std::vector<double> decades;
  const double first_length = static_cast<double>(quick.row_labels.front());
  const double last_length = static_cast<double>(quick.row_labels.back());
  for (double decade = 1; decade <= last_length; decade *= 10) {
    if (decade >= first_length) decades.push_back(decade);
  }
  bool any_zero = false;
  for (std::size_t column = 0; column < panels; ++column) {
    LinePlot plot;
    const auto range = numeric_label(quick.column_labels[column]);
    plot.title = "values 1.." + (range ? svg::format_tick(*range, TickFormat::count) : quick.column_labels[column]);
    plot.x_label = "array length n";
    plot.y_label = "sort time";
    plot.x_log = true;
    plot.y_log = true;
    plot.x_format = TickFormat::count;
    plot.y_format = TickFormat::seconds;
    plot.x_ticks = decades;
    plot.y_min = lo;
    plot.y_max = hi;
    for (std::size_t algorithm = 0; algorithm < 2; ++algorithm) {
      const CellTable& table = algorithm == 0 ? quick : counting;
      PlotSeries series;
      series.key = table.name;
      series.color = svg::category_color(algorithm);
      series.dashed = algorithm == 1;
      for (std::size_t row = 0; row < table.row_labels.size(); ++row) {
        const std::int64_t cell = table.cell(row, column);
        if (cell < 0) continue;
        PlotPoint point;
        point.x = static_cast<double>(table.row_labels[row]);
        point.y = cell == 0 ? kResolutionSeconds : seconds(cell);
        point.below_resolution = cell == 0;
        any_zero |= cell == 0;
        series.points.push_back(std::move(point));
      }
      plot.series.push_back(std::move(series));
    }
    const double x = kPanelWidth * static_cast<double>(column % kPerRow);
    const double y = kTop + kPanelHeight * static_cast<double>(column / kPerRow);
    document.open_group("class=\"panel\" " + attribute("data-k", quick.column_labels[column]));
    svg::draw_line_plot(document, plot, Area{x, y, kPanelWidth, kPanelHeight}, 0);
    document.close_group();
  }
  const double lx = kPanelWidth * static_cast<double>(panels % kPerRow) + 40;
  double ly = kTop + kPanelHeight * static_cast<double>(panels / kPerRow) + 60;
  for (std::size_t algorithm = 0; algorithm < 2; ++algorithm) {
    document.line(lx, ly, lx + 30, ly,
                  "stroke=\"" + svg::category_color(algorithm) + "\" stroke-width=\"2\"" +
                      (algorithm == 1 ? " stroke-dasharray=\"7 4\"" : ""));
    document.text(lx + 40, ly + 4, algorithm == 0 ? "QSORT  quicksort" : "CSORT  counting sort");
    ly += 22;
  }
  if (any_zero) {
    document.polygon({{lx + 10, ly - 4}, {lx + 20, ly - 4}, {lx + 15, ly + 5}},
                     "fill=\"#fff\" stroke=\"#444\" stroke-width=\"1.5\"");
    document.text(lx + 40, ly + 4, "below the clock's resolution (< 0.01 s)", "class=\"note\"");
  }
  return {std::string(stem) + "-times-by-range.svg", title, document.finish()};
}

// ---- cutoff programs: combined over recursive quicksort against the cutoff

ChartFile cutoff_chart(const ResultFile& result, std::string_view stem, std::string_view program) {
  const CellTable& plain = result.tables[0];
  const CellTable& combined = result.tables[1];
  const std::size_t rows = plain.row_labels.size();
  const std::size_t columns = plain.column_labels.size();

  LinePlot plot;
  plot.title = std::string(program) + ": combined quicksort time / recursive quicksort time";
  plot.subtitle = "below 1\xc3\x97 the insertion-sort cutoff pays; each cell sorts its own random data";
  plot.x_label = "cutoff HRANICA (ranges this short go to insertion sort)";
  plot.y_label = "combined / recursive time";
  plot.y_format = TickFormat::ratio;
  plot.reference_y = 1.0;
  plot.reference_label = "equal times";
  plot.best_label = "fastest combined time of its length";
  plot.below_resolution_label = "combined time below 0.01 s: a bound";
  std::vector<double> cutoffs(columns);
  for (std::size_t column = 0; column < columns; ++column) {
    cutoffs[column] = numeric_label(plain.column_labels[column]).value_or(static_cast<double>(column + 1));
  }
  plot.x_ticks = cutoffs;
  for (std::size_t row = 0; row < rows; ++row) {
    std::int64_t best = -1;
    for (std::size_t column = 0; column < columns; ++column) {
      const std::int64_t cell = combined.cell(row, column);
      if (cell >= 0 && (best < 0 || cell < best)) best = cell;
    }
    std::vector<std::string> best_cutoffs;
    for (std::size_t column = 0; column < columns; ++column) {
      if (best >= 0 && combined.cell(row, column) == best) best_cutoffs.push_back(plain.column_labels[column]);
    }
    // A tie of many cutoffs says the clock could not tell them apart: nothing to mark.
    const bool mark_best = !best_cutoffs.empty() && best_cutoffs.size() <= 3;
    std::int64_t slowest = 0;
    for (std::size_t column = 0; column < columns; ++column) slowest = std::max(slowest, plain.cell(row, column));
    PlotSeries series;
    series.faint = slowest < kCoarseHundredths;
    series.key = std::to_string(plain.row_labels[row]);
    series.color = svg::ordered_color(rows > 1 ? static_cast<double>(row) / static_cast<double>(rows - 1) : 0);
    std::size_t hidden = 0;
    for (std::size_t column = 0; column < columns; ++column) {
      const std::int64_t cell = combined.cell(row, column);
      const bool is_best = mark_best && cell == best;
      const Ratio ratio = ratio_of(cell, plain.cell(row, column));
      if (!ratio.known || ratio.bound > 0) {
        ++hidden;  // recursive time below resolution: no ratio to show
        continue;
      }
      PlotPoint point;
      point.x = cutoffs[column];
      point.y = ratio.value;
      point.below_resolution = ratio.bound < 0;
      point.best = is_best;
      point.data = attribute("data-n", series.key) + " " + attribute("data-cutoff", plain.column_labels[column]);
      series.points.push_back(std::move(point));
    }
    series.label = "n = " + svg::format_tick(static_cast<double>(plain.row_labels[row]), TickFormat::count);
    if (mark_best) {
      series.label += ", best";
      for (const std::string& cutoff : best_cutoffs) series.label += " " + cutoff;
    } else if (!best_cutoffs.empty()) {
      series.label += ", " + std::to_string(best_cutoffs.size()) + " tied";
    }
    if (hidden > 0) {
      series.label += " (" + std::to_string(hidden) + " below 0.01 s)";
    } else if (series.faint) {
      series.label += " (< 0.1 s, coarse)";
    }
    plot.series.push_back(std::move(series));
  }
  Document document(1000, 580, plot.title);
  svg::draw_line_plot(document, plot, Area{0, 0, 1000, 580}, 250);
  return {std::string(stem) + "-cutoff-ratio.svg", plot.title, document.finish()};
}

std::string csv_field(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

void csv_row(std::string& csv, std::string_view program, std::string_view table, std::string_view row,
             std::string_view column, std::int64_t hundredths) {
  csv += csv_field(program) + "," + csv_field(table) + "," + csv_field(row) + "," + csv_field(column) + "," +
         seconds_text(hundredths) + "\r\n";
}

bool is_grid_duel(const ResultFile& result) {
  return result.program == "tallygrid" || (result.program.empty() && result.tables[1].name == "Countingsort");
}

}  // namespace

std::vector<ChartFile> build_charts(const ResultFile& result, std::string_view stem, std::string_view program) {
  std::vector<ChartFile> charts;
  switch (result.form) {
    case ResultForm::small_arrays:
      charts.push_back(small_arrays_chart(result, stem, program));
      break;
    case ResultForm::duel:
      charts.push_back(duel_chart(result, stem, program));
      break;
    case ResultForm::two_tables:
      if (is_grid_duel(result)) {
        charts.push_back(grid_heat_map(result, stem, program));
        charts.push_back(grid_times_by_range(result, stem, program));
      } else {
        charts.push_back(cutoff_chart(result, stem, program));
      }
      break;
  }
  return charts;
}

std::string build_csv(const ResultFile& result, std::string_view program) {
  std::string csv = "program,table,row_label,column_label,seconds\r\n";
  for (const CellTable& table : result.tables) {
    for (std::size_t row = 0; row < table.row_labels.size(); ++row) {
      for (std::size_t column = 0; column < table.column_labels.size(); ++column) {
        csv_row(csv, program, table.name, std::to_string(table.row_labels[row]), table.column_labels[column],
                table.cell(row, column));
      }
    }
  }
  for (const DuelInput& input : result.inputs) {
    csv_row(csv, program, "Quicksort", std::to_string(input.count), std::to_string(input.range), input.quicksort);
  }
  for (const DuelInput& input : result.inputs) {
    csv_row(csv, program, "Countingsort", std::to_string(input.count), std::to_string(input.range), input.countingsort);
  }
  return csv;
}

std::string program_of(const ResultFile& result, const std::filesystem::path& results_path) {
  if (!result.program.empty()) return result.program;
  const std::string folder = std::filesystem::absolute(results_path).parent_path().filename().string();
  return folder.empty() ? "results" : folder;
}

std::vector<std::filesystem::path> write_charts(const ResultFile& result, const std::filesystem::path& results_path) {
  const std::string program = program_of(result, results_path);
  const std::string stem = results_path.stem().string();
  const std::filesystem::path folder = results_path.parent_path();
  std::vector<std::filesystem::path> written;
  for (const ChartFile& chart : build_charts(result, stem, program)) {
    written.push_back(folder / chart.file_name);
    write_file_atomically(written.back(), chart.content);
  }
  written.push_back(folder / (stem + ".csv"));
  write_file_atomically(written.back(), build_csv(result, program));
  return written;
}

}  // namespace study
