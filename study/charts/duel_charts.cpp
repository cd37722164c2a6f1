#include <fmt/format.h>

#include <algorithm>
#include <array>

#include "analysis/text/text_format.hpp"
#include "study/charts/chart_parts.hpp"
#include "study/charts/chart_text.hpp"
#include "study/charts/family_charts.hpp"

namespace study {
namespace {

using namespace svg;
using namespace svg::layout;

// Where the bars go: one slot per input, the two sorts' bars either side of its centre.
struct Slots {
  Area frame;
  Scale y;
  double slot = 0;
  double bar = 0;

  double centre(std::size_t input) const { return frame.x + slot * (static_cast<double>(input) + 0.5); }
  double left(std::size_t input, std::size_t sort) const {
    return sort == 0 ? centre(input) - bar - kDuelBars.gap : centre(input) + kDuelBars.gap;
  }
};

Slots slots_of(const ChartData& data) {
  const Area frame = inset(Area{0, 0, kDuelSize.width, kDuelSize.height}, kDuelMargins);
  TimeSpan span;
  for (const DuelTimes& input : data.duel()) {
    for (const ChartValue& time : input.times) span.widen(time);
  }
  // Half the resolution lies inside the axis, so a bar of one hundredth still shows.
  const Scale y = up_the_frame(fitted_scale(span.lo / 2, span.hi, true), frame);
  const double slot = frame.width / static_cast<double>(std::max<std::size_t>(data.duel().size(), 1));
  return {frame, y, slot, std::min(slot * kDuelBars.share, kDuelBars.widest)};
}

// A cell without a time to draw (below the resolution, or the clock went
// back) is an outline up to the resolution.
bool outlined(const ChartValue& time) { return !time.shown() || time.below_resolution(); }

// One sort's bar on one input: the median with its interval, the cell, or an outline.
Bar time_bar(const ChartValue& time, const Scale& y, const std::string& color, std::int64_t input) {
  Bar bar;
  const std::string cell = analysis::seconds_text(time.hundredths.value_or(0));
  if (outlined(time)) {
    bar.top = y(kResolutionSeconds);
    bar.attributes.css_class("below-resolution").fill("#fff").stroke(color).dashes(kOutlineDashes);
    bar.attributes.data("input", input).data("seconds", cell);
    bar.label = time.below_resolution() ? "<0.01" : "?";
    bar.label_y = bar.top - kBarLabelGap;
    return bar;
  }
  const bool precise = time.source == ValueSource::precise;
  bar.top = y(time.value);
  bar.attributes.css_class("bar").fill(color).data("input", input);
  bar.attributes.data("seconds", precise ? analysis::significant(time.value, 4) : cell);
  if (time.interval) bar.whisker = std::pair(y(time.high()), y(time.low()));
  bar.whisker_stroke = Attributes().stroke("#222");
  bar.label = precise ? format_tick(time.value, TickFormat::seconds) : cell;
  if (time.disturbed) bar.label += kDisturbedTextMark;
  bar.label_y = y(time.high()) - kBarLabelGap;
  return bar;
}

// What the legend must explain beyond the sorts.
struct BarMarks {
  bool any_outline = false;
  bool any_disturbed = false;
};

BarMarks draw_bars(Document& document, const ChartData& data, const Slots& slots) {
  BarMarks marks;
  for (std::size_t sort = 0; sort < kDuelSorts.size(); ++sort) {
    const std::string color = category_color(sort);
    document.open_group(Attributes().css_class("series").data("series", kDuelSorts[sort]));
    for (std::size_t i = 0; i < data.duel().size(); ++i) {
      const ChartValue& time = data.duel()[i].times[sort];
      marks.any_outline |= outlined(time);
      marks.any_disturbed |= time.disturbed;
      Bar bar = time_bar(time, slots.y, color, data.duel()[i].number);
      bar.left = slots.left(i, sort);
      bar.width = slots.bar;
      bar.bottom = slots.frame.bottom();
      draw_bar(document, bar);
    }
    document.close_group();
  }
  return marks;
}

std::vector<Tick> input_ticks(const ChartData& data, const Slots& slots) {
  std::vector<Tick> ticks;
  for (std::size_t i = 0; i < data.duel().size(); ++i) {
    const DuelTimes& input = data.duel()[i];
    ticks.push_back({slots.centre(i),
                     {"n = " + format_tick(static_cast<double>(input.count), TickFormat::count),
                      "1.." + format_tick(static_cast<double>(input.range), TickFormat::count)}});
  }
  return ticks;
}

void draw_duel_legend(Document& document, const Coverage& coverage, const Area& frame, const BarMarks& marks) {
  Legend legend(document, frame.right() + kDuelLegendPlace.gap, frame.y + kDuelLegendPlace.top, kDuelLegend);
  for (std::size_t sort = 0; sort < kRacedSorts.size(); ++sort) {
    legend.entry(Sample::swatch(Attributes().fill(category_color(sort))), {legend_entry(kRacedSorts[sort])});
  }
  const Attributes note = Attributes().css_class("note");
  if (coverage.runs > 1) {
    std::vector<std::string> lines = interval_label_lines(coverage);
    lines.insert(lines.begin(), "the median's interval:");
    legend.entry(Sample::error_bar(Attributes().stroke("#222")), lines, note, kDuelIntervalStep);
  }
  if (marks.any_outline) {
    legend.entry(Sample::swatch(Attributes().fill("#fff").stroke("#444").dashes(kOutlineDashes)),
                 {"below the clock's resolution", "(< 0.01 s)"}, note);
  }
  if (marks.any_disturbed) legend.text(disturbed_text_note(), note, kDuelIntervalStep);
}

}  // namespace

ChartFile duel_chart(const ChartData& data, std::string_view stem, std::string_view program) {
  const std::string title =
      fmt::format("{}: {} and {} on each input", program, kRacedSorts[0].legend, kRacedSorts[1].legend);
  const std::string subtitle =
      data.precise() ? "one sort of each input per algorithm and run; log scale; " + source_note(data.coverage())
                     : "one sort of each input per algorithm; log scale";
  const Slots slots = slots_of(data);
  Document document(kDuelSize.width, kDuelSize.height, title);
  draw_titles(document, Area{0, 0, kDuelSize.width, kDuelSize.height}, title, subtitle);
  draw_y_ticks(document, slots.frame, scale_ticks(slots.y, TickFormat::seconds), y_tick_style());
  const BarMarks marks = draw_bars(document, data, slots);
  draw_x_ticks(document, slots.frame, input_ticks(data, slots), x_tick_style(false));
  draw_axes(document, slots.frame);
  draw_axis_names(document, slots.frame, "input: element count n, values 1..range",
                  slots.frame.bottom() + kDuelAxisNames.x_below, "sort time (seconds, log scale)",
                  kDuelAxisNames.y_centre_x);
  draw_duel_legend(document, data.coverage(), slots.frame, marks);
  return {std::string(stem) + "-duel.svg", document.finish()};
}

}  // namespace study
