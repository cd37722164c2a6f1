#include "analysis/text/text_table.hpp"

#include <algorithm>

namespace analysis {

std::size_t shown_width(std::string_view text) {
  std::size_t shown = 0;
  for (const unsigned char c : text) shown += (c & 0xC0) != 0x80;
  return shown;
}

std::string aligned_table(const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows,
                          const std::vector<bool>& numeric, std::string_view indent) {
  std::vector<std::size_t> widths(header.size(), 0);
  const auto measure = [&](const std::vector<std::string>& row) {
    for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) {
      widths[c] = std::max(widths[c], shown_width(row[c]));
    }
  };
  measure(header);
  for (const auto& row : rows) measure(row);
  const auto line = [&](const std::vector<std::string>& row) {
    std::string text(indent);
    for (std::size_t c = 0; c < widths.size(); ++c) {
      const std::string& cell = c < row.size() ? row[c] : std::string();
      const std::string pad(widths[c] - std::min(widths[c], shown_width(cell)), ' ');
      const bool right = c < numeric.size() && numeric[c];
      if (c > 0) text += "  ";
      text += right ? pad + cell : cell + (c + 1 < widths.size() ? pad : "");
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text + "\n";
  };
  std::string text = line(header);
  for (const auto& row : rows) text += line(row);
  return text;
}

std::string wrapped(std::string_view text, std::size_t width, std::string_view first_indent, std::string_view indent) {
  std::string out;
  std::string line(first_indent);
  bool line_has_word = false;
  const auto word_end = [&](std::size_t from) { return std::min(text.find(' ', from), text.size()); };
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = word_end(at);
    // A percent sign stays with its number: "75 %" is one word to the line.
    while (end > at && end + 1 < text.size() && text[end + 1] == '%') end = word_end(end + 1);
    const std::string_view word = text.substr(at, end - at);
    at = end + 1;
    if (word.empty()) continue;
    if (line_has_word && shown_width(line) + 1 + shown_width(word) > width) {
      out += line + "\n";
      line = indent;
      line_has_word = false;
    }
    if (line_has_word) line += ' ';
    line += word;
    line_has_word = true;
  }
  if (line_has_word) out += line + "\n";
  return out;
}

}  // namespace analysis
