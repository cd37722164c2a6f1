// A small SVG writer. Elements take their attributes as typed values;
// every text and attribute value is escaped once, here, as it is written.
// The documents are self-contained: styles inline, no fonts or scripts loaded.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace study::svg {

// A coordinate or measure with at most two decimals. A value that is not
// finite is a fault of the chart code: it throws std::logic_error rather
// than write "nan" into a picture.
std::string number(double value);

using Point = std::pair<double, double>;

enum class Anchor { start, middle, end };

// The attributes of one element, in the order they are set.
class Attributes {
 public:
  Attributes& css_class(std::string_view name) { return set("class", std::string(name)); }
  Attributes& fill(std::string_view color) { return set("fill", std::string(color)); }
  Attributes& stroke(std::string_view color) { return set("stroke", std::string(color)); }
  Attributes& stroke_width(double width) { return set("stroke-width", number(width)); }
  Attributes& dashes(std::string_view pattern) { return set("stroke-dasharray", std::string(pattern)); }
  Attributes& opacity(double value) { return set("opacity", number(value)); }
  Attributes& anchor(Anchor anchor);
  // Turned by `degrees` about (x, y).
  Attributes& rotated(double degrees, double x, double y);
  // Inline style, which outranks the document's style sheet.
  Attributes& style(std::string_view css) { return set("style", std::string(css)); }
  // data-NAME="VALUE": what a reader or a test finds on the element.
  Attributes& data(std::string_view name, std::string_view value) {
    return set("data-" + std::string(name), std::string(value));
  }
  Attributes& data(std::string_view name, std::int64_t value) { return data(name, std::to_string(value)); }

  // Appends ` name="value"` for each attribute, values escaped.
  void write(std::string& out) const;

 private:
  Attributes& set(std::string name, std::string value) {
    items_.emplace_back(std::move(name), std::move(value));
    return *this;
  }

  std::vector<std::pair<std::string, std::string>> items_;
};

class Document {
 public:
  Document(double width, double height, std::string_view title);

  void line(double x1, double y1, double x2, double y2, const Attributes& attributes = {});
  void rect(double x, double y, double width, double height, const Attributes& attributes = {});
  void circle(double x, double y, double radius, const Attributes& attributes = {});
  void polyline(const std::vector<Point>& points, const Attributes& attributes = {});
  void polygon(const std::vector<Point>& points, const Attributes& attributes = {});
  void text(double x, double y, std::string_view content, const Attributes& attributes = {});
  void open_group(const Attributes& attributes);
  void close_group();

  std::string finish();

 private:
  // Writes the start tag, by default closing the element as an empty one.
  void element(std::string_view tag, std::initializer_list<std::pair<std::string_view, std::string>> geometry,
               const Attributes& attributes, std::string_view end = "/>\n");

  std::string out_;
  int open_groups_ = 0;
};

// Text as XML character data or attribute value, escaped as the tools' pages
// escape it (analysis::escape_markup): markup characters become entities,
// control characters are dropped and broken UTF-8 becomes U+FFFD, so a
// garbled label cannot break the document.
std::string escape(std::string_view text);

}  // namespace study::svg
