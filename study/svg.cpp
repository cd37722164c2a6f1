#include "study/svg.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace study::svg {
namespace {

constexpr std::string_view kStyle =
    "text{fill:#222}"
    ".title{font-size:16px;font-weight:bold}"
    ".subtitle{font-size:12px;fill:#555}"
    ".label{font-size:13px}"
    ".tick{font-size:11px;fill:#444}"
    ".note{font-size:11px;fill:#555}"
    ".bar-label{font-size:9px;fill:#444}"
    ".axis{stroke:#333;stroke-width:1}"
    ".grid{stroke:#e2e2e2;stroke-width:1}"
    ".reference{stroke:#777;stroke-width:1;stroke-dasharray:6 4}"
    ".series polyline{fill:none;stroke-width:2}"
    ".cell-text{font-size:11px;text-anchor:middle}"
    ".break-even{stroke:#000;stroke-width:3;stroke-linecap:square}";

// Up to `digits` significant digits, without trailing zeros or exponent
// for the magnitudes a chart shows.
std::string significant(double value, int digits) {
  if (value == 0) return "0";
  std::array<char, 64> text{};
  const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  const int decimals = std::max(0, digits - 1 - magnitude);
  std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
  std::string result = text.data();
  if (result.find('.') != std::string::npos) {
    while (result.back() == '0') result.pop_back();
    if (result.back() == '.') result.pop_back();
  }
  return result;
}

std::string points_attribute(const std::vector<std::pair<double, double>>& points) {
  std::string text;
  for (const auto& [x, y] : points) {
    if (!text.empty()) text += ' ';
    text += number(x);
    text += ',';
    text += number(y);
  }
  return text;
}

struct Rgb {
  double r, g, b;
};

std::string hex(const Rgb& color) {
  std::array<char, 8> text{};
  const auto channel = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0))); };
  std::snprintf(text.data(), text.size(), "#%02x%02x%02x", channel(color.r), channel(color.g), channel(color.b));
  return text.data();
}

}  // namespace

std::string number(double value) {
  if (!std::isfinite(value)) throw std::logic_error("a chart coordinate is not finite");
  std::array<char, 64> text{};
  const auto end = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, 2).ptr;
  std::string result(text.data(), end);
  while (result.back() == '0') result.pop_back();
  if (result.back() == '.') result.pop_back();
  if (result == "-0") result = "0";
  return result;
}

std::string escape(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        result += "&amp;";
        break;
      case '<':
        result += "&lt;";
        break;
      case '>':
        result += "&gt;";
        break;
      case '"':
        result += "&quot;";
        break;
      default:
        result += c;
    }
  }
  return result;
}

Document::Document(double width, double height, std::string_view title) {
  out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out_ += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(width) + "\" height=\"" + number(height) +
          "\" viewBox=\"0 0 " + number(width) + " " + number(height) +
          "\" font-family=\"DejaVu Sans, Arial, Helvetica, sans-serif\" font-size=\"12\">\n";
  out_ += "<title>" + escape(title) + "</title>\n";
  out_ += "<style>";
  out_ += kStyle;
  out_ += "</style>\n";
  out_ += "<rect x=\"0\" y=\"0\" width=\"" + number(width) + "\" height=\"" + number(height) + "\" fill=\"#fff\"/>\n";
}

void Document::line(double x1, double y1, double x2, double y2, std::string_view attributes) {
  out_ +=
      "<line x1=\"" + number(x1) + "\" y1=\"" + number(y1) + "\" x2=\"" + number(x2) + "\" y2=\"" + number(y2) + "\" ";
  out_ += attributes;
  out_ += "/>\n";
}

void Document::rect(double x, double y, double width, double height, std::string_view attributes) {
  out_ += "<rect x=\"" + number(x) + "\" y=\"" + number(y) + "\" width=\"" + number(width) + "\" height=\"" +
          number(height) + "\" ";
  out_ += attributes;
  out_ += "/>\n";
}

void Document::circle(double x, double y, double radius, std::string_view attributes) {
  out_ += "<circle cx=\"" + number(x) + "\" cy=\"" + number(y) + "\" r=\"" + number(radius) + "\" ";
  out_ += attributes;
  out_ += "/>\n";
}

void Document::polyline(const std::vector<std::pair<double, double>>& points, std::string_view attributes) {
  out_ += "<polyline points=\"" + points_attribute(points) + "\" ";
  out_ += attributes;
  out_ += "/>\n";
}

void Document::polygon(const std::vector<std::pair<double, double>>& points, std::string_view attributes) {
  out_ += "<polygon points=\"" + points_attribute(points) + "\" ";
  out_ += attributes;
  out_ += "/>\n";
}

void Document::text(double x, double y, std::string_view content, std::string_view attributes) {
  out_ += "<text x=\"" + number(x) + "\" y=\"" + number(y) + "\" ";
  out_ += attributes;
  out_ += ">" + escape(content) + "</text>\n";
}

void Document::open_group(std::string_view attributes) {
  out_ += "<g ";
  out_ += attributes;
  out_ += ">\n";
  ++open_groups_;
}

void Document::close_group() {
  out_ += "</g>\n";
  --open_groups_;
}

std::string Document::finish() {
  while (open_groups_ > 0) close_group();
  out_ += "</svg>\n";
  return std::move(out_);
}

std::string format_tick(double value, TickFormat format) {
  switch (format) {
    case TickFormat::plain:
      return significant(value, 4);
    case TickFormat::count:
      if (std::fabs(value) >= 1e6) return significant(value / 1e6, 3) + "M";
      if (std::fabs(value) >= 1e4) return significant(value / 1e3, 3) + "k";
      return significant(value, 4);
    case TickFormat::seconds: {
      const double magnitude = std::fabs(value);
      if (magnitude == 0) return "0 s";
      if (magnitude >= 1) return significant(value, 3) + " s";
      if (magnitude >= 1e-3) return significant(value * 1e3, 3) + " ms";
      if (magnitude >= 1e-6) return significant(value * 1e6, 3) + " \xc2\xb5s";
      return significant(value * 1e9, 3) + " ns";
    }
    case TickFormat::ratio:
      return significant(value, 3) + "\xc3\x97";
  }
  return significant(value, 4);
}

double Scale::operator()(double value) const {
  double t = 0;
  if (log) {
    const double clamped = std::max(value, lo);
    t = (std::log10(clamped) - std::log10(lo)) / (std::log10(hi) - std::log10(lo));
  } else {
    t = (value - lo) / (hi - lo);
  }
  return pixel_lo + t * (pixel_hi - pixel_lo);
}

std::vector<double> Scale::ticks() const {
  std::vector<double> result;
  if (log) {
    const int first = static_cast<int>(std::ceil(std::log10(lo) - 1e-9));
    const int last = static_cast<int>(std::floor(std::log10(hi) + 1e-9));
    const bool short_range = last - first < 2;
    for (int decade = first - 1; decade <= last; ++decade) {
      for (double multiple : {1.0, 2.0, 5.0}) {
        if (multiple != 1.0 && !short_range) continue;
        const double value = multiple * std::pow(10.0, decade);
        if (value >= lo * (1 - 1e-9) && value <= hi * (1 + 1e-9)) result.push_back(value);
      }
    }
    return result;
  }
  const double raw_step = (hi - lo) / 6;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw_step)));
  double step = magnitude * 10;
  for (double multiple : {1.0, 2.0, 5.0, 10.0}) {
    if (multiple * magnitude >= raw_step) {
      step = multiple * magnitude;
      break;
    }
  }
  for (double value = std::ceil(lo / step) * step; value <= hi + step * 1e-9; value += step) {
    result.push_back(std::fabs(value) < step * 1e-9 ? 0.0 : value);
  }
  return result;
}

Scale fitted_scale(double lo, double hi, bool log) {
  Scale scale;
  scale.log = log;
  if (log) {
    scale.lo = std::pow(10.0, std::floor(std::log10(lo) + 1e-9));
    scale.hi = std::pow(10.0, std::ceil(std::log10(hi) - 1e-9));
    if (scale.hi <= scale.lo) scale.hi = scale.lo * 10;
  } else {
    const double margin = hi > lo ? (hi - lo) * 0.06 : std::max(std::fabs(lo) * 0.1, 1.0);
    scale.lo = lo - margin;
    scale.hi = hi + margin;
  }
  return scale;
}

void draw_line_plot(Document& document, const LinePlot& plot, Area area, double legend_width) {
  constexpr double kLeft = 78;
  constexpr double kTop = 58;
  constexpr double kBottom = 52;
  const Area frame{area.x + kLeft, area.y + kTop, area.width - kLeft - legend_width - 24, area.height - kTop - kBottom};

  double x_lo = 0, x_hi = 0, y_lo = 0, y_hi = 0;
  bool any = false;
  bool any_below_resolution = false;
  bool any_best = false;
  for (const PlotSeries& series : plot.series) {
    for (const PlotPoint& point : series.points) {
      if (!any) {
        x_lo = x_hi = point.x;
        y_lo = y_hi = point.y;
        any = true;
      }
      x_lo = std::min(x_lo, point.x);
      x_hi = std::max(x_hi, point.x);
      y_lo = std::min(y_lo, point.y);
      y_hi = std::max(y_hi, point.y);
      any_below_resolution |= point.below_resolution;
      any_best |= point.best;
    }
  }
  for (double x : plot.x_ticks) {
    if (!any) x_lo = x_hi = x;
    x_lo = std::min(x_lo, x);
    x_hi = std::max(x_hi, x);
  }
  if (!any) {
    y_lo = plot.y_log ? 1 : 0;
    y_hi = plot.y_log ? 10 : 1;
  }
  if (plot.reference_y) {
    y_lo = std::min(y_lo, *plot.reference_y);
    y_hi = std::max(y_hi, *plot.reference_y);
  }
  // Points that stand for "below the resolution" sit at the resolution; keep
  // them clear of the axis so they do not read as the axis itself.
  if (any_below_resolution && plot.y_log) y_lo /= 2;
  if (plot.y_min) y_lo = std::min(y_lo, *plot.y_min);
  if (plot.y_max) y_hi = std::max(y_hi, *plot.y_max);

  Scale x_scale;
  x_scale.log = plot.x_log;
  if (plot.x_log) {
    x_scale.lo = x_lo / 1.3;
    x_scale.hi = (x_hi > x_lo ? x_hi : x_lo * 10) * 1.3;
  } else {
    const double margin = x_hi > x_lo ? (x_hi - x_lo) * 0.04 : 1;
    x_scale.lo = x_lo - margin;
    x_scale.hi = x_hi + margin;
  }
  x_scale.pixel_lo = frame.x;
  x_scale.pixel_hi = frame.x + frame.width;
  Scale y_scale = fitted_scale(y_lo, y_hi, plot.y_log);
  y_scale.pixel_lo = frame.y + frame.height;
  y_scale.pixel_hi = frame.y;

  document.text(area.x + 12, area.y + 22, plot.title, "class=\"title\"");
  if (!plot.subtitle.empty()) document.text(area.x + 12, area.y + 40, plot.subtitle, "class=\"subtitle\"");

  // Grid and ticks.
  for (double y : y_scale.ticks()) {
    const double py = y_scale(y);
    document.line(frame.x, py, frame.x + frame.width, py, "class=\"grid\"");
    document.text(frame.x - 6, py + 4, format_tick(y, plot.y_format), "class=\"tick\" text-anchor=\"end\"");
  }
  const std::vector<double> x_ticks = plot.x_ticks.empty() ? x_scale.ticks() : plot.x_ticks;
  for (double x : x_ticks) {
    const double px = x_scale(x);
    document.line(px, frame.y, px, frame.y + frame.height, "class=\"grid\"");
    document.text(px, frame.y + frame.height + 16, format_tick(x, plot.x_format),
                  "class=\"tick\" text-anchor=\"middle\"");
  }
  document.line(frame.x, frame.y + frame.height, frame.x + frame.width, frame.y + frame.height, "class=\"axis\"");
  document.line(frame.x, frame.y, frame.x, frame.y + frame.height, "class=\"axis\"");
  document.text(frame.x + frame.width / 2, frame.y + frame.height + 40, plot.x_label,
                "class=\"label\" text-anchor=\"middle\"");
  const double label_x = area.x + 16;
  const double label_y = frame.y + frame.height / 2;
  document.text(label_x, label_y, plot.y_label,
                "class=\"label\" text-anchor=\"middle\" transform=\"rotate(-90 " + number(label_x) + " " +
                    number(label_y) + ")\"");
  if (plot.reference_y) {
    const double py = y_scale(*plot.reference_y);
    document.line(frame.x, py, frame.x + frame.width, py, "class=\"reference\"");
  }

  for (const PlotSeries& series : plot.series) {
    document.open_group("class=\"series\" data-series=\"" + escape(series.key) + "\"" +
                        (series.faint ? " opacity=\"0.35\"" : ""));
    std::vector<std::pair<double, double>> points;
    for (const PlotPoint& point : series.points) points.emplace_back(x_scale(point.x), y_scale(point.y));
    if (points.size() >= 2) {
      document.polyline(
          points, "stroke=\"" + series.color + "\"" + (series.dashed ? " stroke-dasharray=\"7 4\"" : std::string()));
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
      const PlotPoint& point = series.points[i];
      const auto [px, py] = points[i];
      const std::string data = point.data.empty() ? std::string() : " " + point.data;
      if (point.below_resolution) {
        document.polygon(
            {{px - 5, py - 4}, {px + 5, py - 4}, {px, py + 5}},
            "class=\"below-resolution\" fill=\"#fff\" stroke=\"" + series.color + "\" stroke-width=\"1.5\"" + data);
      } else {
        document.circle(px, py, 3, "class=\"point\" fill=\"" + series.color + "\"" + data);
      }
      if (point.best) {
        document.circle(px, py, 7, "class=\"best\" fill=\"none\" stroke=\"#000\" stroke-width=\"2\"" + data);
      }
    }
    document.close_group();
  }

  if (legend_width <= 0) return;
  const double lx = frame.x + frame.width + 20;
  double ly = frame.y + 6;
  document.open_group("class=\"legend\"");
  for (const PlotSeries& series : plot.series) {
    document.line(lx, ly, lx + 24, ly,
                  "stroke=\"" + series.color + "\" stroke-width=\"2\"" +
                      (series.dashed ? " stroke-dasharray=\"7 4\"" : std::string()) +
                      (series.faint ? " opacity=\"0.35\"" : ""));
    document.circle(lx + 12, ly, 3, "fill=\"" + series.color + "\"");
    document.text(lx + 32, ly + 4, series.label);
    ly += 18;
  }
  ly += 6;
  if (any_best) {
    document.circle(lx + 12, ly, 7, "fill=\"none\" stroke=\"#000\" stroke-width=\"2\"");
    document.text(lx + 32, ly + 4, plot.best_label, "class=\"note\"");
    ly += 20;
  }
  if (any_below_resolution) {
    document.polygon({{lx + 7, ly - 4}, {lx + 17, ly - 4}, {lx + 12, ly + 5}},
                     "fill=\"#fff\" stroke=\"#444\" stroke-width=\"1.5\"");
    document.text(lx + 32, ly + 4, plot.below_resolution_label, "class=\"note\"");
    ly += 20;
  }
  if (plot.reference_y && !plot.reference_label.empty()) {
    document.line(lx, ly, lx + 24, ly, "class=\"reference\"");
    document.text(lx + 32, ly + 4, plot.reference_label, "class=\"note\"");
  }
  document.close_group();
}

std::string category_color(std::size_t index) {
  static constexpr std::array<std::string_view, 10> kColors{"#1f77b4", "#ff7f0e", "#2ca02c", "#d62728", "#9467bd",
                                                            "#8c564b", "#e377c2", "#7f7f7f", "#bcbd22", "#17becf"};
  return std::string(kColors[index % kColors.size()]);
}

std::string ordered_color(double position) {
  static constexpr std::array<Rgb, 5> kStops{
      {{68, 1, 84}, {59, 82, 139}, {33, 145, 140}, {94, 201, 98}, {221, 200, 30}}};
  const double t = std::clamp(position, 0.0, 1.0) * (kStops.size() - 1);
  const auto index = std::min(static_cast<std::size_t>(t), kStops.size() - 2);
  const double f = t - static_cast<double>(index);
  const Rgb& a = kStops[index];
  const Rgb& b = kStops[index + 1];
  return hex({a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f});
}

}  // namespace study::svg
