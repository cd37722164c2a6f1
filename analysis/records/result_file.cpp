#include "analysis/records/result_file.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <span>

#include "kit/table_caption.hpp"

namespace analysis {
namespace {

// What any results file of the three forms looks like, whichever program
// wrote it. The programs' own texts come from their parameter sets; the
// check below holds those to these rules.

constexpr std::string_view corner_of(std::string_view header) { return header.substr(0, header.find('|')); }
constexpr const ResultLayout& kSmallArrays = first_of(ProgramFamily::small_arrays).layout;
constexpr std::string_view kSmallArraysCorner = corner_of(kSmallArrays.header);
constexpr std::string_view kTwoTableCorner = corner_of(first_of(ProgramFamily::grid_duel).layout.header);
// The duel form is tallyduel's alone.
constexpr const SuiteProgram& kDuel = first_of(ProgramFamily::file_duel);

using kit::is_caption;

constexpr bool layouts_follow_the_generic_rules() {
  for (const SuiteProgram& program : kSuitePrograms) {
    const ResultLayout& layout = program.layout;
    switch (program.family) {
      case ProgramFamily::small_arrays:
        if (layout.first_caption != kSmallArrays.first_caption || !is_caption(layout.first_caption) ||
            corner_of(layout.header) != kSmallArraysCorner) {
          return false;
        }
        break;
      case ProgramFamily::grid_duel:
      case ProgramFamily::cutoff:
        if (!is_caption(layout.first_caption) || !is_caption(layout.second_caption) ||
            corner_of(layout.header) != kTwoTableCorner) {
          return false;
        }
        break;
      case ProgramFamily::file_duel:
        if (layout.rows.size() != layout.ranges.size() || &program != &kDuel) return false;
        break;
    }
  }
  return true;
}
static_assert(layouts_follow_the_generic_rules(), "a program's results file no longer has the form this reader reads");

constexpr std::int64_t kLargest32 = std::numeric_limits<std::int32_t>::max();

struct Failure {
  ParseError error;
};

// A line quoted in a message: its start, with every byte that is not
// printable ASCII shown as '?', so a garbled file cannot garble the console.
std::string shown(std::string_view line) {
  constexpr std::size_t kShown = 60;
  std::string text = "\"";
  for (char c : line.substr(0, kShown)) text += c >= ' ' && c <= '~' ? c : '?';
  if (line.size() > kShown) text.append("...");
  text.append("\"");
  return text;
}

// Up to 18 decimal digits, nothing else.
std::optional<std::int64_t> parse_unsigned(std::string_view digits) {
  if (digits.empty() || digits.size() > 18 || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  std::int64_t value = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return value;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Splits at every '|'; the text after the last '|' is the last piece.
std::vector<std::string_view> fields(std::string_view line) {
  std::vector<std::string_view> pieces;
  for (std::size_t bar = line.find('|'); bar != std::string_view::npos; bar = line.find('|')) {
    pieces.push_back(line.substr(0, bar));
    line.remove_prefix(bar + 1);
  }
  pieces.push_back(line);
  return pieces;
}

class Parser {
 public:
  Parser(std::string_view text, RowCheck check)
      : cut_short_(!text.ends_with('\n')), strict_(check == RowCheck::suite_rows) {
    while (!text.empty()) {
      const std::size_t lf = std::min(text.find('\n'), text.size());
      std::string_view line = text.substr(0, lf);
      // A CR before the LF belongs to the line end; a last line has no line end.
      if (lf < text.size() && line.ends_with('\r')) line.remove_suffix(1);
      lines_.push_back(line);
      text.remove_prefix(std::min(lf + 1, text.size()));
    }
  }

  ResultFile parse() {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      if (lines_[i].size() > kLongestResultLine) {
        fail(i + 1, "the line is " + std::to_string(lines_[i].size()) +
                        " characters long; no line of a results file is longer than " +
                        std::to_string(kLongestResultLine));
      }
    }
    const std::string_view first = lines_.front();
    const bool known_start =
        first == kSmallArrays.first_caption || first.starts_with(kReportBlock.start) || is_caption(first);
    if (!known_start) {
      fail(1, "expected \"" + std::string(kSmallArrays.first_caption) + "\", a caption \"" +
                  std::string(kit::kCaptionLead) + "..." + std::string(kit::kCaptionEnd) + "\" or \"" +
                  std::string(kReportBlock.start) + "1: ...\", found " + shown(first));
    }
    if (cut_short_) {
      fail(lines_.size(), "the line has no line end: the file was cut short, expected complete lines");
    }
    if (first == kSmallArrays.first_caption) return parse_small_arrays();
    if (first.starts_with(kReportBlock.start)) return parse_duel();
    return parse_two_tables();
  }

 private:
  [[noreturn]] void fail(std::size_t line, std::string message) { throw Failure{ParseError{line, std::move(message)}}; }

  bool at_end() const { return next_ >= lines_.size(); }

  // The next line, which must exist; `what` says what was expected there.
  std::string_view take(std::string_view what) {
    if (at_end()) {
      fail(lines_.size() + 1,
           "expected " + std::string(what) + ", found the end of the file (the run was stopped early?)");
    }
    return lines_[next_++];
  }

  std::size_t line_number() const { return next_; }  // of the line last taken

  void take_exact(std::string_view expected, std::string_view what) {
    const std::string_view line = take(what);
    if (line != expected) fail(line_number(), "expected " + std::string(what) + ", found " + shown(line));
  }

  void expect_end() {
    if (!at_end()) {
      fail(next_ + 1, "expected the end of the file after the last table line, found " + shown(lines_[next_]));
    }
  }

  // A count, length or range: a whole number the programs hold in 32 bits, at least 1.
  std::int64_t take_quantity(std::string_view digits, std::string_view what, std::string_view line) {
    const auto value = parse_unsigned(digits);
    if (!value) fail(line_number(), "expected " + std::string(what) + ", found " + shown(line));
    if (*value < 1 || *value > kLargest32) {
      fail(line_number(), "expected " + std::string(what) + " from 1 to " + std::to_string(kLargest32) + ", found " +
                              std::string(digits));
    }
    return *value;
  }

  // A caption line; returns the table's name.
  std::string take_caption() {
    const std::string expected = fmt::format("a caption \"{}...{}\"", kit::kCaptionLead, kit::kCaptionEnd);
    const std::string_view line = take(expected);
    if (!is_caption(line)) fail(line_number(), "expected " + expected + ", found " + shown(line));
    return std::string(kit::table_name(line));
  }

  // A header line "<corner>|  label  |  label  |"; returns the labels.
  std::vector<std::string> take_header(std::string_view corner) {
    const std::string_view line = take("the header line");
    const auto pieces = fields(line);
    if (pieces.size() < 3 || pieces.front() != corner || !pieces.back().empty()) {
      fail(line_number(), "expected a header line starting with \"" + std::string(corner) +
                              "|\" and ending with \"|\", found " + shown(line));
    }
    std::vector<std::string> labels;
    for (std::size_t i = 1; i + 1 < pieces.size(); ++i) {
      const std::string_view label = trimmed(pieces[i]);
      if (label.empty()) fail(line_number(), "column " + std::to_string(i) + " of the header has no label");
      labels.emplace_back(label);
    }
    return labels;
  }

  std::string_view take_separator() {
    const std::string_view line = take("a separator line of hyphens");
    if (line.empty() || line.find_first_not_of('-') != std::string_view::npos) {
      fail(line_number(), "expected a separator line of hyphens, found " + shown(line));
    }
    return line;
  }

  // "<label>| cell | cell |": the label's number and the cells, in hundredths.
  std::int64_t take_row(std::size_t columns, std::vector<std::int64_t>& cells) {
    const std::string_view line = take("a table row");
    const auto pieces = fields(line);
    if (pieces.size() < 2 || !parse_unsigned(trimmed(pieces.front()))) {
      fail(line_number(), "expected a table row starting with an array length and \"|\", found " + shown(line));
    }
    const std::int64_t label = take_quantity(trimmed(pieces.front()), "an array length", line);
    if (pieces.size() != columns + 2 || !pieces.back().empty()) {
      fail(line_number(), "expected " + std::to_string(columns) + " cells each closed by \" |\", found " + shown(line));
    }
    for (std::size_t column = 1; column <= columns; ++column) {
      const std::string_view field = pieces[column];
      std::optional<std::int64_t> value;
      if (field.size() >= 3 && field.front() == ' ' && field.back() == ' ') {
        value = parse_time_cell(field.substr(1, field.size() - 2), false);
      }
      if (!value) {
        fail(line_number(), "expected a time cell like \" 00:04.37 \" in column " + std::to_string(column) +
                                ", found " + shown(field));
      }
      cells.push_back(*value);
    }
    return label;
  }

  // Rows, each followed by `separator`, up to an empty line or the end of the
  // file; with `expected_rows`, exactly those rows.
  template <class Label>
  void take_rows(CellTable& table, std::string_view separator, std::optional<std::span<const Label>> expected_rows) {
    while (!at_end() && !lines_[next_].empty()) {
      if (expected_rows && table.row_labels.size() == expected_rows->size()) {
        fail(next_ + 1, "expected an empty line or the end of the file after the row of n = " +
                            std::to_string(expected_rows->back()) + ", found " + shown(lines_[next_]));
      }
      const std::int64_t label = take_row(table.column_labels.size(), table.hundredths);
      if (expected_rows) {
        const std::int64_t wanted = (*expected_rows)[table.row_labels.size()];
        if (label != wanted) {
          fail(line_number(),
               "expected the row of n = " + std::to_string(wanted) + ", found n = " + std::to_string(label));
        }
      }
      table.row_labels.push_back(label);
      if (take("a separator line after the row") != separator) {
        fail(line_number(), "expected the separator line after the row, found " + shown(lines_[line_number() - 1]));
      }
    }
    if (expected_rows && table.row_labels.size() < expected_rows->size()) {
      fail(next_ + 1,
           "expected the row of n = " + std::to_string((*expected_rows)[table.row_labels.size()]) + ", found " +
               (at_end() ? std::string("the end of the file (the run was stopped early?)") : shown(lines_[next_])));
    }
    if (table.row_labels.empty()) fail(next_ + 1, "expected at least one table row");
  }

  const SuiteProgram* known_program(bool two_tables, std::string_view caption, std::string_view header) const {
    for (const SuiteProgram& program : kSuitePrograms) {
      const ResultLayout& layout = program.layout;
      if (has_two_tables(program.family) == two_tables && layout.first_caption == caption && layout.header == header) {
        return &program;
      }
    }
    return nullptr;
  }

  // The rows a file of `program` must have, when they are checked.
  std::optional<std::span<const std::int32_t>> rows_of(const SuiteProgram* program) const {
    if (program == nullptr || !strict_) return std::nullopt;
    return program->layout.rows;
  }

  struct TableLines {
    std::string_view header;
    std::string_view separator;
  };

  // The first (or only) table of the file: caption, header, separator and
  // rows; the header tells which program's file it is.
  TableLines take_first_table(ResultFile& result, std::string_view corner) {
    CellTable& table = result.tables.emplace_back();
    table.name = take_caption();
    take_exact("", "an empty line after the caption");
    table.column_labels = take_header(corner);
    const TableLines lines{lines_[next_ - 1], take_separator()};
    result.program = known_program(has_two_tables(result.family), lines_[0], lines.header);
    take_rows(table, lines.separator, rows_of(result.program));
    return lines;
  }

  ResultFile parse_small_arrays() {
    ResultFile result;
    take_first_table(result, kSmallArraysCorner);
    expect_end();
    return result;
  }

  ResultFile parse_two_tables() {
    ResultFile result;
    result.family = ProgramFamily::grid_duel;  // either two-table family, until the tables tell which
    const TableLines lines = take_first_table(result, kTwoTableCorner);
    take_exact("", "an empty line before the second table");
    CellTable second;
    second.name = take_caption();
    take_exact("", "an empty line after the caption");
    take_exact(lines.header, "the header line of the first table again");
    take_exact(lines.separator, "the separator line of the first table again");
    second.column_labels = result.tables[0].column_labels;
    take_rows(second, lines.separator, std::optional<std::span<const std::int64_t>>(result.tables[0].row_labels));
    expect_end();
    const bool counting = second.name == first_of(ProgramFamily::grid_duel).record_tables[1].name;
    result.family = result.program != nullptr ? result.program->family
                    : counting                ? ProgramFamily::grid_duel
                                              : ProgramFamily::cutoff;
    result.tables.push_back(std::move(second));
    return result;
  }

  std::int64_t take_duel_time(std::string_view label) {
    const std::string_view line = take("the line \"" + std::string(label) + "HH:MM:SS.CC\"");
    std::optional<std::int64_t> value;
    if (line.starts_with(label)) value = parse_time_cell(line.substr(label.size()), true);
    if (!value) fail(line_number(), "expected \"" + std::string(label) + "HH:MM:SS.CC\", found " + shown(line));
    return *value;
  }

  ResultFile parse_duel() {
    ResultFile result;
    result.family = ProgramFamily::file_duel;
    result.program = &kDuel;
    const ResultLayout& layout = kDuel.layout;
    while (true) {
      DuelInput input;
      input.number = static_cast<std::int64_t>(result.inputs.size()) + 1;
      const std::string expected_start =
          std::string(kReportBlock.start) + std::to_string(input.number) + std::string(kReportBlock.count);
      const std::string_view line = take("the block of input " + std::to_string(input.number));
      const std::size_t comma = line.find(kReportBlock.range);
      if (!line.starts_with(expected_start) || comma == std::string_view::npos ||
          !parse_unsigned(line.substr(expected_start.size(), comma - expected_start.size())) ||
          !parse_unsigned(line.substr(comma + kReportBlock.range.size()))) {
        fail(line_number(),
             "expected \"" + expected_start + "N" + std::string(kReportBlock.range) + "R\", found " + shown(line));
      }
      input.count = take_quantity(line.substr(expected_start.size(), comma - expected_start.size()), "a count", line);
      input.range = take_quantity(line.substr(comma + kReportBlock.range.size()), "a value range", line);
      const std::size_t index = result.inputs.size();
      if (strict_ &&
          (index >= layout.rows.size() || input.count != layout.rows[index] || input.range != layout.ranges[index])) {
        fail(line_number(), index >= layout.rows.size()
                                ? "expected the end of the file after input " + std::to_string(index)
                                : "expected input " + std::to_string(input.number) + " to have " +
                                      std::string(kReportBlock.count.substr(2)) + std::to_string(layout.rows[index]) +
                                      std::string(kReportBlock.range) + std::to_string(layout.ranges[index]));
      }
      input.quicksort = take_duel_time(kReportBlock.first_time);
      input.countingsort = take_duel_time(kReportBlock.second_time);
      result.inputs.push_back(input);
      if (at_end()) break;
      take_exact("", "an empty line between two blocks");
    }
    if (strict_ && result.inputs.size() < layout.rows.size()) {
      fail(lines_.size() + 1, "expected the block of input " + std::to_string(result.inputs.size() + 1) +
                                  ", found the end of the file (the run was stopped early?)");
    }
    return result;
  }

  std::vector<std::string_view> lines_;
  std::size_t next_ = 0;
  bool cut_short_ = false;
  bool strict_;
};

// One field of a time cell: an optional "-" and one to nine digits.
std::optional<std::int64_t> parse_field(std::string_view text) {
  const bool negative = text.starts_with('-');
  if (negative) text.remove_prefix(1);
  if (text.size() > 9) return std::nullopt;
  const auto value = parse_unsigned(text);
  if (!value) return std::nullopt;
  return negative ? -*value : *value;
}

}  // namespace

std::int64_t ResultFile::total_hundredths() const {
  std::int64_t total = 0;
  for (const CellTable& table : tables) {
    for (std::int64_t cell : table.hundredths) total += cell;
  }
  for (const DuelInput& input : inputs) total += input.quicksort + input.countingsort;
  return total;
}

std::size_t ResultFile::cell_count() const {
  std::size_t cells = inputs.size() * 2;
  for (const CellTable& table : tables) cells += table.hundredths.size();
  return cells;
}

std::vector<LabelledCell> ResultFile::labelled_cells() const {
  std::vector<LabelledCell> cells;
  cells.reserve(cell_count());
  for (const CellTable& table : tables) {
    for (std::size_t row = 0; row < table.row_labels.size(); ++row) {
      for (std::size_t column = 0; column < table.column_labels.size(); ++column) {
        cells.push_back({{table.name, std::to_string(table.row_labels[row]), table.column_labels[column]},
                         table.cell(row, column)});
      }
    }
  }
  const auto duel_cells = [&](std::string_view table, std::int64_t DuelInput::*time) {
    for (const DuelInput& input : inputs) {
      cells.push_back({{std::string(table), std::to_string(input.count), std::to_string(input.range)}, input.*time});
    }
  };
  duel_cells(kDuel.record_tables[0].name, &DuelInput::quicksort);
  duel_cells(kDuel.record_tables[1].name, &DuelInput::countingsort);
  return cells;
}

ParseOutcome parse_result_file(std::string_view text, RowCheck rows) {
  if (text.empty()) return {std::nullopt, {0, "the file is empty: the run stopped before it wrote its results"}};
  try {
    return {Parser(text, rows).parse(), {}};
  } catch (const Failure& failure) {
    return {std::nullopt, failure.error};
  }
}

std::optional<std::int64_t> parse_time_cell(std::string_view cell, bool long_form) {
  // [hours ":"] minutes ":" seconds "." hundredths
  const std::size_t dot = cell.rfind('.');
  const std::size_t last_colon = cell.rfind(':');
  if (dot == std::string_view::npos || last_colon == std::string_view::npos || last_colon > dot) {
    return std::nullopt;
  }
  std::string_view leading = cell.substr(0, last_colon);
  std::string_view hours_text;
  if (long_form) {
    const std::size_t colon = leading.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    hours_text = leading.substr(0, colon);
    leading.remove_prefix(colon + 1);
  }
  if (leading.find(':') != std::string_view::npos) return std::nullopt;
  const std::array<std::string_view, 4> texts{hours_text, leading, cell.substr(last_colon + 1, dot - last_colon - 1),
                                              cell.substr(dot + 1)};
  std::array<std::int64_t, 4> parts{};  // hours (0 in the short form), minutes, seconds, hundredths
  for (std::size_t i = long_form ? 0 : 1; i < texts.size(); ++i) {
    // A field is two digits at least, or a single digit with its minus sign.
    const auto value = texts[i].size() < 2 ? std::nullopt : parse_field(texts[i]);
    if (!value) return std::nullopt;
    parts[i] = *value;
  }
  const bool any_negative = std::any_of(parts.begin(), parts.end(), [](std::int64_t v) { return v < 0; });
  const bool any_positive = std::any_of(parts.begin(), parts.end(), [](std::int64_t v) { return v > 0; });
  if (any_negative && any_positive) return std::nullopt;
  const auto [hours, minutes, seconds, hundredths] = parts;
  const auto magnitude = [](std::int64_t v) { return v < 0 ? -v : v; };
  if (magnitude(seconds) > 59 || magnitude(hundredths) > 99 || (long_form && magnitude(minutes) > 59)) {
    return std::nullopt;
  }
  const std::int64_t total = hours * 360000 + minutes * 6000 + seconds * 100 + hundredths;
  if (total > kLargest32 || total < -kLargest32 - 1) return std::nullopt;
  return total;
}

}  // namespace analysis
