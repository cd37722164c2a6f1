// Checks the text of "vstup.in" against its format: per input a count line,
// the values each followed by one space, CR LF after every 1000th value and
// once more after the last (so a count that is a multiple of 1000 leaves an
// empty line), decimal values without sign or leading zeros in 1..range.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quickvscount_tests {

struct LineMapCheck {
  std::string problem;                // empty when the text follows the format
  std::size_t lines = 0;              // lines read, each ended by CR LF
  std::vector<std::int32_t> largest;  // the largest value of each input
};

inline LineMapCheck check_line_map(std::string_view text, std::span<const std::int32_t> counts,
                                   std::span<const std::int32_t> ranges) {
  LineMapCheck check;
  std::size_t at = 0;
  const auto fail = [&](const std::string& what) {
    check.problem = "line " + std::to_string(check.lines + 1) + ": " + what;
    return check;
  };
  const auto line_end = [&] {
    if (text.substr(at, 2) != "\r\n") return false;
    at += 2;
    ++check.lines;
    return true;
  };
  for (std::size_t I = 0; I < counts.size(); ++I) {
    const std::string count_text = std::to_string(counts[I]);
    if (text.substr(at, count_text.size()) != count_text) return fail("expected the count " + count_text);
    at += count_text.size();
    if (!line_end()) return fail("count line does not end with CR LF");
    std::int32_t largest = 0;
    for (std::int32_t J = 1; J <= counts[I]; ++J) {
      if (at >= text.size() || text[at] < '1' || text[at] > '9') return fail("value without a leading digit 1-9");
      std::int64_t value = 0;
      while (at < text.size() && text[at] >= '0' && text[at] <= '9' && value <= ranges[I]) {
        value = value * 10 + (text[at++] - '0');
      }
      if (value > ranges[I]) return fail("value " + std::to_string(value) + " above the range");
      largest = std::max(largest, static_cast<std::int32_t>(value));
      if (at >= text.size() || text[at++] != ' ') return fail("value not followed by one space");
      if (J % 1000 == 0 && !line_end()) return fail("1000th value not followed by CR LF");
    }
    if (!line_end()) return fail("input not closed by CR LF");
    check.largest.push_back(largest);
  }
  if (at != text.size()) return fail("text after the last input");
  return check;
}

}  // namespace quickvscount_tests
