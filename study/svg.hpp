// A small SVG writer and the pieces every chart shares: scales with ticks,
// tick labels in the units a reader expects, and a line plot with legend.
// The documents are self-contained: styles inline, no fonts or scripts loaded.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace study::svg {

// A coordinate or measure with at most two decimals. A value that is not
// finite is a fault of the chart code: it throws std::logic_error rather
// than write "nan" into a picture.
std::string number(double value);
std::string escape(std::string_view text);

class Document {
 public:
  Document(double width, double height, std::string_view title);

  void line(double x1, double y1, double x2, double y2, std::string_view attributes = {});
  void rect(double x, double y, double width, double height, std::string_view attributes = {});
  void circle(double x, double y, double radius, std::string_view attributes = {});
  void polyline(const std::vector<std::pair<double, double>>& points, std::string_view attributes = {});
  void polygon(const std::vector<std::pair<double, double>>& points, std::string_view attributes = {});
  // `attributes` may set class, text-anchor, transform, ...
  void text(double x, double y, std::string_view content, std::string_view attributes = {});
  void open_group(std::string_view attributes);
  void close_group();

  std::string finish();

 private:
  std::string out_;
  int open_groups_ = 0;
};

struct Area {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
};

enum class TickFormat { plain, count, seconds, ratio };

std::string format_tick(double value, TickFormat format);

// A value axis: data range [lo, hi] onto pixels [pixel_lo, pixel_hi].
struct Scale {
  double lo = 0;
  double hi = 1;
  bool log = false;
  double pixel_lo = 0;
  double pixel_hi = 1;

  double operator()(double value) const;
  // Round values inside [lo, hi] worth a grid line: 1-2-5 steps, or decades
  // (with 2 and 5 between them when the range is short) on a log scale.
  std::vector<double> ticks() const;
};

// Widens [lo, hi] to round limits: whole decades on a log scale, a margin on
// a linear one. lo must be positive on a log scale.
Scale fitted_scale(double lo, double hi, bool log);

struct PlotPoint {
  double x = 0;
  double y = 0;
  bool below_resolution = false;  // y is only an upper bound
  bool best = false;              // drawn as the marked point of its series
  std::string data;               // extra attributes of the point, e.g. data-cutoff="23"
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
};

// Draws axes, grid, series and (when legend_width > 0) a legend at the right.
void draw_line_plot(Document& document, const LinePlot& plot, Area area, double legend_width);

// Colours that stay apart for up to 10 series.
std::string category_color(std::size_t index);
// A colour running from dark purple (0) through green to yellow (1), for
// series in a natural order such as ascending lengths.
std::string ordered_color(double position);

}  // namespace study::svg
