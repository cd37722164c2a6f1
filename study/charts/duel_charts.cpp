#include "study/charts/duel_charts.hpp"

#include <algorithm>
#include <array>

#include "analysis/text/text_format.hpp"
#include "study/charts/chart_colors.hpp"
#include "study/charts/chart_scale.hpp"
#include "study/charts/line_plot.hpp"
#include "study/charts/svg_document.hpp"

namespace study {

ChartFile duel_chart(const analysis::ResultFile& result, std::string_view stem, std::string_view program,
                     const PreciseTimes& precise) {
  using namespace svg;
  const std::string title = std::string(program) + ": quicksort and counting sort on each input";
  constexpr double kWidth = 1040, kHeight = 560;
  const double frame_x = 84, frame_y = 64, frame_width = kWidth - 84 - 250, frame_height = kHeight - 64 - 84;
  Document document(kWidth, kHeight, title);
  document.text(12, 22, title, Attributes().css_class("title"));
  const std::array<std::string, 2> names{"Quicksort", "Countingsort"};
  document.text(12, 40,
                precise.empty() ? "one sort of each input per algorithm; log scale"
                                : "one sort of each input per algorithm and run; log scale; " + precise.source_note(),
                Attributes().css_class("subtitle"));

  // Each bar's time: the median of the record when there is one, else the cell.
  const auto time_of = [&](const analysis::DuelInput& input, std::size_t algorithm) {
    return precise.time(names[algorithm], input.count, std::to_string(input.range));
  };
  double lo = kResolutionSeconds, hi = kResolutionSeconds * 10;
  for (const analysis::DuelInput& input : result.inputs) {
    for (std::size_t algorithm = 0; algorithm < 2; ++algorithm) {
      const std::int64_t cell = algorithm == 0 ? input.quicksort : input.countingsort;
      if (const auto time = time_of(input, algorithm)) {
        lo = std::min(lo, time->low);
        hi = std::max(hi, time->high);
      } else if (cell > 0) {
        lo = std::min(lo, seconds(cell));
        hi = std::max(hi, seconds(cell));
      }
    }
  }
  // Half the resolution lies inside the axis, so a bar of one hundredth still shows.
  Scale y = fitted_scale(lo / 2, hi, true);
  y.pixel_lo = frame_y + frame_height;
  y.pixel_hi = frame_y;
  for (double tick : y.ticks()) {
    document.line(frame_x, y(tick), frame_x + frame_width, y(tick), Attributes().css_class("grid"));
    document.text(frame_x - 6, y(tick) + 4, format_tick(tick, TickFormat::seconds),
                  Attributes().css_class("tick").anchor(Anchor::end));
  }
  const double group = frame_width / static_cast<double>(std::max<std::size_t>(result.inputs.size(), 1));
  const double bar = std::min(group * 0.34, 40.0);
  const double bottom = frame_y + frame_height;
  bool any_zero = false;
  for (std::size_t algorithm = 0; algorithm < 2; ++algorithm) {
    const std::string color = category_color(algorithm);
    document.open_group(Attributes().css_class("series").data("series", names[algorithm]));
    for (std::size_t i = 0; i < result.inputs.size(); ++i) {
      const analysis::DuelInput& input = result.inputs[i];
      const std::int64_t cell = algorithm == 0 ? input.quicksort : input.countingsort;
      const double center = frame_x + group * (static_cast<double>(i) + 0.5);
      const double left = algorithm == 0 ? center - bar - 2 : center + 2;
      if (const auto time = time_of(input, algorithm)) {
        const double top = y(time->median);
        document.rect(left, top, bar, bottom - top,
                      Attributes()
                          .css_class("bar")
                          .fill(color)
                          .data("input", input.number)
                          .data("seconds", analysis::significant(time->median, 4)));
        if (time->has_interval())
          draw_error_bar(document, left + bar / 2, y(time->high), y(time->low), Attributes().stroke("#222"));
        document.text(left + bar / 2, y(time->high) - 4, format_tick(time->median, TickFormat::seconds),
                      Attributes().css_class("bar-label").anchor(Anchor::middle));
      } else if (cell <= 0) {
        any_zero = true;
        const double top = y(kResolutionSeconds);
        document.rect(left, top, bar, bottom - top,
                      Attributes()
                          .css_class("below-resolution")
                          .fill("#fff")
                          .stroke(color)
                          .dashes("3 2")
                          .data("input", input.number)
                          .data("seconds", analysis::seconds_text(cell)));
        document.text(left + bar / 2, top - 4, cell == 0 ? "<0.01" : "?",
                      Attributes().css_class("bar-label").anchor(Anchor::middle));
      } else {
        const double top = y(seconds(cell));
        document.rect(left, top, bar, bottom - top,
                      Attributes()
                          .css_class("bar")
                          .fill(color)
                          .data("input", input.number)
                          .data("seconds", analysis::seconds_text(cell)));
        document.text(left + bar / 2, top - 4, analysis::seconds_text(cell),
                      Attributes().css_class("bar-label").anchor(Anchor::middle));
      }
    }
    document.close_group();
  }
  for (std::size_t i = 0; i < result.inputs.size(); ++i) {
    const analysis::DuelInput& input = result.inputs[i];
    const double center = frame_x + group * (static_cast<double>(i) + 0.5);
    document.text(center, bottom + 16, "n = " + format_tick(static_cast<double>(input.count), TickFormat::count),
                  Attributes().css_class("tick").anchor(Anchor::middle));
    document.text(center, bottom + 30, "1.." + format_tick(static_cast<double>(input.range), TickFormat::count),
                  Attributes().css_class("tick").anchor(Anchor::middle));
  }
  document.line(frame_x, bottom, frame_x + frame_width, bottom, Attributes().css_class("axis"));
  document.line(frame_x, frame_y, frame_x, bottom, Attributes().css_class("axis"));
  document.text(frame_x + frame_width / 2, bottom + 58, "input: element count n, values 1..range",
                Attributes().css_class("label").anchor(Anchor::middle));
  const double label_y = frame_y + frame_height / 2;
  document.text(18, label_y, "sort time (seconds, log scale)",
                Attributes().css_class("label").anchor(Anchor::middle).rotated(-90, 18, label_y));

  const double lx = frame_x + frame_width + 24;
  double ly = frame_y + 6;
  for (std::size_t algorithm = 0; algorithm < 2; ++algorithm) {
    document.rect(lx, ly - 7, 20, 14, Attributes().fill(category_color(algorithm)));
    document.text(lx + 28, ly + 4, algorithm == 0 ? "QSORT  quicksort" : "CSORT  counting sort");
    ly += 22;
  }
  if (precise.runs() > 1) {
    draw_error_bar(document, lx + 10, ly - 7, ly + 7, Attributes().stroke("#222"));
    // The label breaks before its parenthesis to fit the legend.
    const std::string label = precise.interval_label();
    const std::size_t split = std::min(label.find(" ("), label.size());
    document.text(lx + 28, ly + 4, "the median's interval:", Attributes().css_class("note"));
    document.text(lx + 28, ly + 18, label.substr(0, split), Attributes().css_class("note"));
    if (split < label.size()) document.text(lx + 28, ly + 32, label.substr(split + 1), Attributes().css_class("note"));
    ly += 50;
  }
  if (any_zero) {
    document.rect(lx, ly - 7, 20, 14, Attributes().fill("#fff").stroke("#444").dashes("3 2"));
    document.text(lx + 28, ly + 4, "below the clock's resolution", Attributes().css_class("note"));
    document.text(lx + 28, ly + 18, "(< 0.01 s)", Attributes().css_class("note"));
  }
  return {std::string(stem) + "-duel.svg", document.finish()};
}

}  // namespace study
