// Where things go in the charts: every margin, size and spacing in pixels,
// by chart, so that a chart's code says what it shows and this file where.
// Font sizes live in the documents' style sheet (svg_document.cpp), apart
// from the comparison's chart, which sets its own inline.
#pragma once

#include <cstddef>
#include <string_view>

namespace study::svg::layout {

struct Margins {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
};

struct Size {
  double width = 0;
  double height = 0;
};

// ---- Every chart

// The title's and subtitle's baselines below the chart's top, a note's under them.
struct TitleLayout {
  double x = 0;  // from the chart's left
  double title_y = 0;
  double subtitle_y = 0;
  double note_y = 0;
};
inline constexpr TitleLayout kTitles{12, 22, 40, 54};

inline constexpr double kBaselineDrop = 4;  // centres 11 px text on the line it labels
inline constexpr double kLineHeight = 14;   // between the lines of a label or legend entry
inline constexpr double kTickGap = 6;       // y tick labels end this far left of the frame
inline constexpr double kXTickY = 16;       // the first x tick label's baseline below the frame

// The axes' names: the x axis's baseline below the frame, the y axis's
// (turned) centre right of the chart's or panel's left edge.
struct AxisNames {
  double x_below = 0;
  double y_centre_x = 0;
};

// ---- Marks

inline constexpr double kPointRadius = 3;
inline constexpr double kRingRadius = 7;  // around a best point
// The hollow triangle of a bound: its top edge `half_width` either side and
// `top` above the value, its tip `tip` below it.
struct Triangle {
  double half_width = 0;
  double top = 0;
  double tip = 0;
};
inline constexpr Triangle kTriangle{5, 4, 5};
inline constexpr double kCapHalfWidth = 4;  // error bar caps
inline constexpr double kBarLabelGap = 4;   // a bar's label above its top, or its interval's

inline constexpr double kMarkerStroke = 1.5;
inline constexpr double kSeriesStroke = 2;  // a series' line in a legend, the best ring
inline constexpr double kFaintOpacity = 0.35;
inline constexpr std::string_view kSeriesDashes = "7 4";   // a second series told apart by its line
inline constexpr std::string_view kOutlineDashes = "3 2";  // an outline that is a bound or undecided

// ---- Legends: rows of a sample and its text

struct LegendLayout {
  double sample_width = 0;  // the box the samples are drawn in
  double text_x = 0;        // where the texts start, from the legend's left
  double step = 0;          // rows apart, unless an entry says otherwise
  double swatch_height = 0;
  bool hanging_swatches = false;  // swatches hang from the row's line instead of centring on it
};
inline constexpr double kLegendErrorBarHalfHeight = 7;

// Where a legend starts: right of the frame and below its top.
struct LegendPlace {
  double gap = 0;
  double top = 0;
};

// ---- The line plot, its legend right of its frame

inline constexpr Margins kPlotMargins{78, 58, 24, 52};  // right: between the frame and the legend's column
inline constexpr AxisNames kPlotAxisNames{40, 16};
inline constexpr LegendPlace kPlotLegendPlace{20, 6};
inline constexpr LegendLayout kPlotLegend{24, 32, 18, 14, false};
inline constexpr double kPlotNoteGap = 6;  // between the series and the notes below them
inline constexpr double kPlotNoteStep = 20;
inline constexpr double kPlotLogMargin = 1.3;      // a log x axis reaches this factor past the points
inline constexpr double kPlotLinearMargin = 0.04;  // a linear one this share of the span

// A chart of one line plot: its size, and the legend's column in it.
struct PlotSize {
  double width = 0;
  double height = 0;
  double legend = 0;
};
inline constexpr PlotSize kSmallArraysPlot{960, 560, 200};  // time per array
inline constexpr PlotSize kCutoffPlot{1000, 580, 250};      // the cutoff ratios
inline constexpr std::size_t kMostLengthTicks = 20;         // more lengths than this get round ticks

// ---- The duel's bars, the two sorts side by side on each input

inline constexpr Size kDuelSize{1040, 560};
inline constexpr Margins kDuelMargins{84, 64, 250, 84};
struct BarLayout {
  double share = 0;   // of an input's slot, per bar
  double widest = 0;  // but never wider
  double gap = 0;     // each bar this far from the slot's centre
};
inline constexpr BarLayout kDuelBars{0.34, 40, 2};
inline constexpr AxisNames kDuelAxisNames{58, 18};
inline constexpr LegendPlace kDuelLegendPlace{24, 6};
inline constexpr LegendLayout kDuelLegend{20, 28, 22, 14, false};
inline constexpr double kDuelIntervalStep = 50;  // the interval's entry takes three lines

// ---- Times by range: a small line plot per value range, the legend in the next free slot

inline constexpr std::size_t kPanelsPerRow = 4;
inline constexpr Size kPanel{330, 290};
inline constexpr double kPanelsTop = 60;
inline constexpr LegendPlace kPanelLegendPlace{40, 60};  // inside the free slot
inline constexpr LegendLayout kPanelLegend{30, 40, 22, 14, false};

// ---- The heat map of ratios, its colour key right of it

inline constexpr Size kHeatCell{88, 32};
inline constexpr Margins kHeatMargins{120, 104, 260, 40};  // right: the colour key's column
inline constexpr double kHeatLeastHeight = 420;            // the colour key's
inline constexpr double kHeatXNameY = 66;                  // the x axis's name sits above the cells
inline constexpr double kHeatYNameX = 18;
// The lengths' labels end `rows` left of the cells, the ranges' baselines sit `columns` above them.
struct LabelGaps {
  double rows = 0;
  double columns = 0;
};
inline constexpr LabelGaps kHeatLabelGaps{8, 10};
// A cell of two lines: their baselines below its top.
struct CellLines {
  double first = 0;
  double second = 0;
};
inline constexpr CellLines kHeatLines{14, 26};
inline constexpr LegendPlace kHeatKeyPlace{30, 0};
inline constexpr double kHeatKeyTitleAbove = 10;  // the key's title above its first swatch
inline constexpr LegendLayout kHeatKey{28, 36, 24, 20, true};
// Steps of the key's lower rows: a swatch with a note, the gap before the
// runs' note, the two lines on bounds and the two on intervals.
struct KeyNotes {
  double swatch_step = 0;
  double gap = 0;
  double bounds_step = 0;
  double runs_step = 0;
};
inline constexpr KeyNotes kHeatKeyNotes{30, 12, 36, 34};
inline constexpr double kHeatDarkDecades = 1.2;  // cells further from 1x than this get white text
inline constexpr double kHeatFullDecades = 2;    // the colours are full this far from 1x

// ---- The comparison's chart: a dot per cell, a step apart, kernel by kernel

inline constexpr Margins kCompareMargins{70, 50, 20, 110};  // bottom: the cells' turned labels
inline constexpr double kComparePlotHeight = 320;
inline constexpr double kCompareStep = 14;
inline constexpr double kCompareLeastWidth = 240;
inline constexpr std::size_t kCompareMostLabels = 60;  // more cells than this go unlabelled
inline constexpr int kCompareTickSteps = 4;
struct CompareText {
  double title_y = 0;
  double series_above = 0;  // kernel names' baseline above the plot
  double labels_below = 0;  // where the cells' labels start below the plot
  double label_turn = 0;    // degrees
  double foot_above = 0;    // the footnote's baseline above the chart's bottom
};
inline constexpr CompareText kCompareText{24, 8, 10, -60, 10};
// The ratio axis reaches past the ratios by this share of their span, at least `least`.
struct RangeMargin {
  double share = 0;
  double least = 0;
};
inline constexpr RangeMargin kCompareRange{0.08, 0.01};

}  // namespace study::svg::layout
