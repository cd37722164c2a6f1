#include "study/result_file.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <span>

namespace study {
namespace {

constexpr std::string_view kCaptionStart = "Vysledky pre ";
constexpr std::string_view kSmallArraysCaption = "Vysledky pre maloprvkove polia:";
constexpr std::string_view kSmallArraysCorner = " n \\ sort ";
constexpr std::string_view kTwoTableCorner = "  n  \\  k ";
constexpr std::string_view kDuelStart = "Vstup c.";
constexpr std::string_view kDuelQuickLabel = "Cas Quicksortu:    ";
constexpr std::string_view kDuelCountingLabel = "Cas Countingsortu: ";

// The layouts of the five table-writing programs: a file whose captions and
// header match one of these must also have exactly its rows.
struct KnownTableLayout {
  std::string_view program;
  std::string_view first_caption;
  std::string_view header;
  std::span<const std::int64_t> rows;
};

constexpr std::array<std::int64_t, 16> kSmallsixRows{5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 65, 70, 75, 80};
constexpr std::array<std::int64_t, 19> kSmallfiveRows{70,  75,  80,  85,  90,  95,  100, 105, 110, 115,
                                                      120, 125, 130, 135, 140, 145, 150, 155, 160};
constexpr std::array<std::int64_t, 12> kGridRows{10000,   20000,   50000,   100000,   200000,   500000,
                                                 1000000, 2000000, 5000000, 10000000, 20000000, 50000000};
constexpr std::array<std::int64_t, 5> kNarrowRows{20000000, 30000000, 40000000, 50000000, 60000000};

constexpr std::array<KnownTableLayout, 5> kKnownLayouts{{
    {"smallsix", kSmallArraysCaption, " n \\ sort |    QS    |    MS    |    HS    |    BS    |    IS    |    SS    |",
     kSmallsixRows},
    {"smallfive", kSmallArraysCaption, " n \\ sort |    QS    |    MS    |    HS    |    IS    |    SS    |",
     kSmallfiveRows},
    {"tallygrid", "Vysledky pre Quicksort:",
     "  n  \\  k |    10    |    100   |   1000   |   10000  |  100000  |  1000000 | 10000000 |", kGridRows},
    {"cutoffwide", "Vysledky pre rekurzivny Quicksort:",
     "  n  \\  k |    21    |    22    |    23    |    24    |    25    |    26    |    27    |"
     "    28    |    29    |",
     kGridRows},
    {"cutoffnarrow", "Vysledky pre rekurzivny Quicksort:",
     "  n  \\  k |     3    |     4    |     5    |     6    |     7    |     8    |     9    |", kNarrowRows},
}};

struct KnownDuelInput {
  std::int64_t count;
  std::int64_t range;
};
constexpr std::array<KnownDuelInput, 9> kDuelInputs{{{20000000, 10},
                                                     {10000000, 10},
                                                     {1000000, 10},
                                                     {1000, 1000},
                                                     {100000, 100000},
                                                     {10000000, 10000000},
                                                     {10, 1000000},
                                                     {10, 10000000},
                                                     {10, 20000000}}};

struct Failure {
  ParseError error;
};

std::string shown(std::string_view line) {
  constexpr std::size_t kShown = 60;
  std::string text = "\"";
  text.append(line.substr(0, kShown));
  if (line.size() > kShown) text.append("...");
  text.append("\"");
  return text;
}

std::optional<std::int64_t> parse_unsigned(std::string_view digits) {
  if (digits.empty() || digits.size() > 18) return std::nullopt;
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size() || digits.front() == '-' || digits.front() == '+') {
    return std::nullopt;
  }
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
  std::size_t begin = 0;
  while (true) {
    const std::size_t bar = line.find('|', begin);
    if (bar == std::string_view::npos) {
      pieces.push_back(line.substr(begin));
      return pieces;
    }
    pieces.push_back(line.substr(begin, bar - begin));
    begin = bar + 1;
  }
}

class Parser {
 public:
  Parser(std::string_view text, RowCheck check) : strict_(check == RowCheck::suite_rows) {
    std::size_t begin = 0;
    while (begin < text.size()) {
      const std::size_t lf = text.find('\n', begin);
      if (lf == std::string_view::npos) {
        lines_.push_back(text.substr(begin));
        cut_short_ = true;
        break;
      }
      std::string_view line = text.substr(begin, lf - begin);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines_.push_back(line);
      begin = lf + 1;
    }
  }

  ResultFile parse() {
    if (cut_short_) {
      fail(lines_.size(), "the line has no line end: the file was cut short, expected complete lines");
    }
    const std::string_view first = lines_.front();
    if (first == kSmallArraysCaption) return parse_small_arrays();
    if (first.starts_with(kDuelStart)) return parse_duel();
    if (first.starts_with(kCaptionStart) && first.ends_with(":")) return parse_two_tables();
    fail(1,
         "expected \"Vysledky pre maloprvkove polia:\", a caption \"Vysledky pre ...:\" or "
         "\"Vstup c.1: ...\", found " +
             shown(first));
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

  // A caption line, "Vysledky pre NAME:"; returns NAME.
  std::string take_caption() {
    const std::string_view line = take("a caption \"Vysledky pre ...:\"");
    if (!line.starts_with(kCaptionStart) || !line.ends_with(":") || line.size() <= kCaptionStart.size() + 1) {
      fail(line_number(), "expected a caption \"Vysledky pre ...:\", found " + shown(line));
    }
    return std::string(line.substr(kCaptionStart.size(), line.size() - kCaptionStart.size() - 1));
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
    const auto label = parse_unsigned(trimmed(pieces.front()));
    if (pieces.size() < 2 || !label) {
      fail(line_number(), "expected a table row starting with an array length and \"|\", found " + shown(line));
    }
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
                                ", found \"" + std::string(field) + "\"");
      }
      cells.push_back(*value);
    }
    return *label;
  }

  // Rows, each followed by `separator`, up to an empty line or the end of the
  // file; with `expected_rows`, exactly those rows.
  void take_rows(CellTable& table, std::string_view separator,
                 std::optional<std::span<const std::int64_t>> expected_rows) {
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

  const KnownTableLayout* known_layout(std::string_view caption, std::string_view header) const {
    for (const KnownTableLayout& layout : kKnownLayouts) {
      if (layout.first_caption == caption && layout.header == header) return &layout;
    }
    return nullptr;
  }

  ResultFile parse_small_arrays() {
    ResultFile result;
    result.form = ResultForm::small_arrays;
    CellTable table;
    table.name = take_caption();
    take_exact("", "an empty line after the caption");
    table.column_labels = take_header(kSmallArraysCorner);
    const KnownTableLayout* layout = known_layout(lines_[0], lines_[next_ - 1]);
    const std::string_view separator = take_separator();
    std::optional<std::span<const std::int64_t>> rows;
    if (layout && strict_) rows = layout->rows;
    take_rows(table, separator, rows);
    expect_end();
    if (layout) result.program = layout->program;
    result.tables.push_back(std::move(table));
    return result;
  }

  ResultFile parse_two_tables() {
    ResultFile result;
    result.form = ResultForm::two_tables;
    CellTable first;
    first.name = take_caption();
    take_exact("", "an empty line after the caption");
    first.column_labels = take_header(kTwoTableCorner);
    const std::string_view header = lines_[next_ - 1];
    const KnownTableLayout* layout = known_layout(lines_[0], header);
    const std::string_view separator = take_separator();
    std::optional<std::span<const std::int64_t>> rows;
    if (layout && strict_) rows = layout->rows;
    take_rows(first, separator, rows);

    take_exact("", "an empty line before the second table");
    CellTable second;
    second.name = take_caption();
    take_exact("", "an empty line after the caption");
    take_exact(header, "the header line of the first table again");
    take_exact(separator, "the separator line of the first table again");
    second.column_labels = first.column_labels;
    take_rows(second, separator, std::span<const std::int64_t>(first.row_labels));
    expect_end();
    if (layout) result.program = layout->program;
    result.tables.push_back(std::move(first));
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
    result.form = ResultForm::duel;
    const bool known = strict_;
    result.program = "tallyduel";
    while (true) {
      DuelInput input;
      input.number = static_cast<std::int64_t>(result.inputs.size()) + 1;
      const std::string expected_start = std::string(kDuelStart) + std::to_string(input.number) + ": pocet= ";
      const std::string_view line = take("the block of input " + std::to_string(input.number));
      const std::size_t comma = line.find(", rozsah= ");
      std::optional<std::int64_t> count;
      std::optional<std::int64_t> range;
      if (line.starts_with(expected_start) && comma != std::string_view::npos) {
        count = parse_unsigned(line.substr(expected_start.size(), comma - expected_start.size()));
        range = parse_unsigned(line.substr(comma + 10));
      }
      if (!count || !range) {
        fail(line_number(), "expected \"" + expected_start + "N, rozsah= R\", found " + shown(line));
      }
      input.count = *count;
      input.range = *range;
      const std::size_t index = result.inputs.size();
      if (known && (index >= kDuelInputs.size() || input.count != kDuelInputs[index].count ||
                    input.range != kDuelInputs[index].range)) {
        fail(line_number(), index >= kDuelInputs.size()
                                ? "expected the end of the file after input " + std::to_string(index)
                                : "expected input " + std::to_string(input.number) +
                                      " to have pocet= " + std::to_string(kDuelInputs[index].count) +
                                      ", rozsah= " + std::to_string(kDuelInputs[index].range));
      }
      input.quicksort = take_duel_time(kDuelQuickLabel);
      input.countingsort = take_duel_time(kDuelCountingLabel);
      result.inputs.push_back(input);
      if (at_end()) break;
      take_exact("", "an empty line between two blocks");
    }
    if (known && result.inputs.size() < kDuelInputs.size()) {
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

// One field of a time cell: an optional "-" and at least one digit.
std::optional<std::int64_t> parse_field(std::string_view text) {
  const bool negative = text.starts_with('-');
  if (negative) text.remove_prefix(1);
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

ParseOutcome parse_result_file(std::string_view text, RowCheck rows) {
  ParseOutcome outcome;
  if (text.empty()) {
    outcome.empty_file = true;
    outcome.error = {0, "the file is empty: the run stopped before it wrote its results"};
    return outcome;
  }
  try {
    outcome.result = Parser(text, rows).parse();
  } catch (const Failure& failure) {
    outcome.error = failure.error;
  }
  return outcome;
}

std::optional<std::int64_t> parse_time_cell(std::string_view cell, bool long_form) {
  // [hours ":"] minutes ":" seconds "." hundredths
  const std::size_t dot = cell.rfind('.');
  const std::size_t last_colon = cell.rfind(':');
  if (dot == std::string_view::npos || last_colon == std::string_view::npos || last_colon > dot) {
    return std::nullopt;
  }
  std::string_view leading = cell.substr(0, last_colon);
  std::optional<std::int64_t> hours = 0;
  if (long_form) {
    const std::size_t colon = leading.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    hours = parse_field(leading.substr(0, colon));
    leading.remove_prefix(colon + 1);
  }
  if (leading.find(':') != std::string_view::npos) return std::nullopt;
  const auto minutes = parse_field(leading);
  const auto seconds = parse_field(cell.substr(last_colon + 1, dot - last_colon - 1));
  const auto hundredths = parse_field(cell.substr(dot + 1));
  if (!hours || !minutes || !seconds || !hundredths) return std::nullopt;
  // A field is two digits at least, or a single digit with its minus sign.
  for (std::string_view part : {leading, cell.substr(dot + 1)}) {
    if (part.size() < 2) return std::nullopt;
  }
  if (cell.substr(last_colon + 1, dot - last_colon - 1).size() < 2) return std::nullopt;
  const std::array<std::int64_t, 4> parts{*hours, *minutes, *seconds, *hundredths};
  const bool any_negative = std::any_of(parts.begin(), parts.end(), [](std::int64_t v) { return v < 0; });
  const bool any_positive = std::any_of(parts.begin(), parts.end(), [](std::int64_t v) { return v > 0; });
  if (any_negative && any_positive) return std::nullopt;
  const auto magnitude = [](std::int64_t v) { return v < 0 ? -v : v; };
  if (magnitude(*seconds) > 59 || magnitude(*hundredths) > 99) return std::nullopt;
  if (long_form && magnitude(*minutes) > 59) return std::nullopt;
  if (long_form && cell.substr(0, cell.find(':')).size() < 2) return std::nullopt;
  return *hours * 360000 + *minutes * 6000 + *seconds * 100 + *hundredths;
}

}  // namespace study
