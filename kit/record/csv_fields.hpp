// The CSV of the precise record: one way to quote a field and one way to
// split a line back into fields. A field is quoted only when it holds a
// comma, a quote, CR or LF; inside quotes a quote is doubled.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kit::csv {

// Appends `field` to `line`, quoted when it must be, followed by no separator.
void append_field(std::string& line, std::string_view field);

// The fields of one row, unquoted, and whether the row was well-formed.
struct SplitRow {
  std::vector<std::string> fields;
  // Empty for a well-formed row; otherwise what the row should have held at
  // the first fault and what it held instead, e.g. "a closing quote" and
  // "the end of the text". `fields` then holds what was read up to the fault.
  std::string expected;
  std::string found;
  // The offset in the text just past the row and its line end (LF or CR LF).
  std::size_t end = 0;
  // The line ends inside quoted fields: the row spans 1 + this many lines.
  std::size_t inner_line_ends = 0;

  bool ok() const { return expected.empty(); }
};

// Splits the row that starts at `begin` in `text`. The row ends at an LF or
// CR LF outside quotes, or at the end of the text; a quoted field may span
// line ends. A quote may only open a field or, doubled, stand inside a
// quoted one; after a closing quote only a comma or the row's end may come.
SplitRow split_row(std::string_view text, std::size_t begin = 0);

}  // namespace kit::csv
