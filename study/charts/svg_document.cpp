#include "study/charts/svg_document.hpp"

#include <fmt/format.h>

#include <array>
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "analysis/text/markup_text.hpp"

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
    ".interval-text{font-size:9px;text-anchor:middle}"
    ".break-even{stroke:#000;stroke-width:3;stroke-linecap:square}";

std::string points_attribute(const std::vector<Point>& points) {
  std::string text;
  for (const auto& [x, y] : points) text += fmt::format("{}{},{}", text.empty() ? "" : " ", number(x), number(y));
  return text;
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

std::string escape(std::string_view text) { return analysis::escape_markup(text); }

Attributes& Attributes::anchor(Anchor anchor) {
  static constexpr std::array<std::string_view, 3> kAnchors{"start", "middle", "end"};
  return set("text-anchor", std::string(kAnchors[static_cast<std::size_t>(anchor)]));
}

Attributes& Attributes::rotated(double degrees, double x, double y) {
  return set("transform", "rotate(" + number(degrees) + " " + number(x) + " " + number(y) + ")");
}

void Attributes::write(std::string& out) const {
  for (const auto& [name, value] : items_) out += fmt::format(" {}=\"{}\"", name, escape(value));
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
  rect(0, 0, width, height, Attributes().fill("#fff"));
}

void Document::element(std::string_view tag, std::initializer_list<std::pair<std::string_view, std::string>> geometry,
                       const Attributes& attributes, std::string_view end) {
  out_ += '<';
  out_ += tag;
  // Numbers and point lists: nothing to escape.
  for (const auto& [name, value] : geometry) out_ += fmt::format(" {}=\"{}\"", name, value);
  attributes.write(out_);
  out_ += end;
}

void Document::line(double x1, double y1, double x2, double y2, const Attributes& attributes) {
  element("line", {{"x1", number(x1)}, {"y1", number(y1)}, {"x2", number(x2)}, {"y2", number(y2)}}, attributes);
}

void Document::rect(double x, double y, double width, double height, const Attributes& attributes) {
  element("rect", {{"x", number(x)}, {"y", number(y)}, {"width", number(width)}, {"height", number(height)}},
          attributes);
}

void Document::circle(double x, double y, double radius, const Attributes& attributes) {
  element("circle", {{"cx", number(x)}, {"cy", number(y)}, {"r", number(radius)}}, attributes);
}

void Document::polyline(const std::vector<Point>& points, const Attributes& attributes) {
  element("polyline", {{"points", points_attribute(points)}}, attributes);
}

void Document::polygon(const std::vector<Point>& points, const Attributes& attributes) {
  element("polygon", {{"points", points_attribute(points)}}, attributes);
}

void Document::text(double x, double y, std::string_view content, const Attributes& attributes) {
  element("text", {{"x", number(x)}, {"y", number(y)}}, attributes, ">");
  out_ += escape(content);
  out_ += "</text>\n";
}

void Document::open_group(const Attributes& attributes) {
  element("g", {}, attributes, ">\n");
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

}  // namespace study::svg
