#include "study/charts/svg_document.hpp"

#include <array>
#include <charconv>
#include <cmath>
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
    ".interval-text{font-size:9px;text-anchor:middle}"
    ".break-even{stroke:#000;stroke-width:3;stroke-linecap:square}";

constexpr std::string_view kReplacement = "\xef\xbf\xbd";

// The length of the well-formed UTF-8 sequence at the start of `text`, or 0.
std::size_t utf8_sequence(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned int lowest_second = 0x80, highest_second = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) lowest_second = 0xA0;
    if (lead == 0xED) highest_second = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) lowest_second = 0x90;
    if (lead == 0xF4) highest_second = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < lowest_second || byte(1) > highest_second) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

std::string points_attribute(const std::vector<Point>& points) {
  std::string text;
  for (const auto& [x, y] : points) {
    if (!text.empty()) text += ' ';
    text += number(x);
    text += ',';
    text += number(y);
  }
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

std::string escape(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  while (!text.empty()) {
    const char c = text.front();
    const auto code = static_cast<unsigned char>(c);
    std::size_t taken = 1;
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
        if (code >= 0x80) {
          taken = utf8_sequence(text);
          if (taken == 0) {
            result += kReplacement;
            taken = 1;
          } else {
            result.append(text.substr(0, taken));
          }
        } else if (code < 0x20 && c != '\t' && c != '\n' && c != '\r') {
          result += kReplacement;
        } else {
          result += c;
        }
    }
    text.remove_prefix(taken);
  }
  return result;
}

Attributes& Attributes::anchor(Anchor anchor) {
  switch (anchor) {
    case Anchor::start:
      return set("text-anchor", "start");
    case Anchor::middle:
      return set("text-anchor", "middle");
    case Anchor::end:
      return set("text-anchor", "end");
  }
  return *this;
}

Attributes& Attributes::rotated(double degrees, double x, double y) {
  return set("transform", "rotate(" + number(degrees) + " " + number(x) + " " + number(y) + ")");
}

void Attributes::write(std::string& out) const {
  for (const auto& [name, value] : items_) {
    out += ' ';
    out += name;
    out += "=\"";
    out += escape(value);
    out += '"';
  }
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
                       const Attributes& attributes) {
  out_ += '<';
  out_ += tag;
  for (const auto& [name, value] : geometry) {
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    out_ += value;  // numbers and point lists: nothing to escape
    out_ += '"';
  }
  attributes.write(out_);
}

void Document::line(double x1, double y1, double x2, double y2, const Attributes& attributes) {
  element("line", {{"x1", number(x1)}, {"y1", number(y1)}, {"x2", number(x2)}, {"y2", number(y2)}}, attributes);
  out_ += "/>\n";
}

void Document::rect(double x, double y, double width, double height, const Attributes& attributes) {
  element("rect", {{"x", number(x)}, {"y", number(y)}, {"width", number(width)}, {"height", number(height)}},
          attributes);
  out_ += "/>\n";
}

void Document::circle(double x, double y, double radius, const Attributes& attributes) {
  element("circle", {{"cx", number(x)}, {"cy", number(y)}, {"r", number(radius)}}, attributes);
  out_ += "/>\n";
}

void Document::polyline(const std::vector<Point>& points, const Attributes& attributes) {
  element("polyline", {{"points", points_attribute(points)}}, attributes);
  out_ += "/>\n";
}

void Document::polygon(const std::vector<Point>& points, const Attributes& attributes) {
  element("polygon", {{"points", points_attribute(points)}}, attributes);
  out_ += "/>\n";
}

void Document::text(double x, double y, std::string_view content, const Attributes& attributes) {
  element("text", {{"x", number(x)}, {"y", number(y)}}, attributes);
  out_ += '>';
  out_ += escape(content);
  out_ += "</text>\n";
}

void Document::open_group(const Attributes& attributes) {
  element("g", {}, attributes);
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

}  // namespace study::svg
