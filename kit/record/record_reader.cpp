#include "kit/record/record_reader.hpp"

#include <charconv>
#include <initializer_list>
#include <optional>
#include <utility>

#include "kit/record/csv_fields.hpp"

namespace kit::record {
namespace {

// A field as an error shows it: quoted, and cut short when it is long.
std::string shown(std::string_view field) {
  if (field.empty()) return "an empty field";
  constexpr std::size_t kLongest = 40;
  if (field.size() > kLongest) return "\"" + std::string(field.substr(0, kLongest)) + "...\"";
  return "\"" + std::string(field) + "\"";
}

// Digits with at most a leading minus, and nothing else.
template <class Integer>
std::optional<Integer> whole_number(std::string_view text) {
  Integer value{};
  const char* const end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

std::string decimal(std::uint64_t value) { return std::to_string(value); }

// Reads the rows of one text; `line_` is the line the current row starts on.
class Reader {
 public:
  Reader(std::string_view text, std::string_view source) : text_(text), source_(source) {}

  Record read() {
    if (text_.empty()) refuse("a run record's header", "an empty text");
    read_header();
    while (at_ < text_.size()) read_row();
    return std::move(record_);
  }

 private:
  [[noreturn]] void refuse(std::string_view expected, std::string_view found) const {
    throw RecordError(source_, line_, expected, found);
  }
  [[noreturn]] void refuse_field(std::string_view column, std::string_view what, std::string_view field) const {
    refuse(std::string(column) + " to be " + std::string(what), shown(field));
  }

  // The next row's fields; moves past it, counting the lines it spans.
  std::vector<std::string> next_fields() {
    csv::SplitRow row = csv::split_row(text_, at_);
    if (!row.ok()) refuse(row.expected, row.found);
    at_ = row.end;
    row_lines_ = 1 + row.inner_line_ends;
    return std::move(row.fields);
  }

  void read_header() {
    const std::vector<std::string> names = next_fields();
    for (std::size_t i = 0; i < names.size() && i < kColumns.size(); ++i) {
      if (names[i] != kColumns[i]) {
        refuse("column " + decimal(i + 1) + " of the header to be \"" + std::string(kColumns[i]) + "\"",
               shown(names[i]));
      }
    }
    if (names.size() != kLabelColumns && names.size() != kKernelColumns && names.size() != kColumns.size()) {
      refuse("a header of " + decimal(kLabelColumns) + ", " + decimal(kKernelColumns) + " or " +
                 decimal(kColumns.size()) + " columns",
             decimal(names.size()) + " columns");
    }
    record_.columns = names.size();
    line_ += row_lines_;
  }

  void read_row() {
    const std::vector<std::string> fields = next_fields();
    if (fields.size() != record_.columns) {
      refuse(decimal(record_.columns) + " fields, as in the header", decimal(fields.size()) + " fields");
    }
    Row row;
    // Windows first: the window's range depends on it.
    row.windows = at_least<std::size_t>(fields, column("windows"), 1);
    for (std::size_t i = 0; i < fields.size(); ++i) read_field(fields, i, row);
    if (record_.has_evidence()) {
      const std::size_t position = column("uncounted");
      const std::string uncounted = uncounted_columns(row);
      if (fields[position] != uncounted) {
        refuse_field(kColumns[position], "the empty evidence columns, \"" + uncounted + "\"", fields[position]);
      }
    }
    check_constants(fields, row);
    record_.rows.push_back(std::move(row));
    line_ += row_lines_;
  }

  // The field at `position` as a whole number that Integer holds; `what` says
  // which numbers those are.
  template <class Integer>
  Integer whole(const std::vector<std::string>& fields, std::size_t position, std::string_view what) {
    const std::optional<Integer> value = whole_number<Integer>(fields[position]);
    if (!value) refuse_field(kColumns[position], what, fields[position]);
    return *value;
  }

  template <class Integer>
  Integer at_least(const std::vector<std::string>& fields, std::size_t position, Integer least) {
    const std::optional<Integer> value = whole_number<Integer>(fields[position]);
    if (!value || *value < least) {
      refuse_field(kColumns[position], "a whole number of at least " + decimal(static_cast<std::uint64_t>(least)),
                   fields[position]);
    }
    return *value;
  }

  // A count the system may not give: empty, or a whole number of at least 0.
  std::optional<std::int64_t> count(const std::vector<std::string>& fields, std::size_t position) {
    if (fields[position].empty()) return std::nullopt;
    return at_least<std::int64_t>(fields, position, 0);
  }

  // A field that names something: any text but none.
  const std::string& label(const std::vector<std::string>& fields, std::size_t position, std::string_view what) {
    if (fields[position].empty()) refuse_field(kColumns[position], what, fields[position]);
    return fields[position];
  }

  // A field that may only hold one of a few fixed names.
  const std::string& one_of(const std::vector<std::string>& fields, std::size_t position,
                            std::initializer_list<std::string_view> names) {
    std::string expected;
    for (const std::string_view name : names) {
      if (fields[position] == name) return fields[position];
      expected += (expected.empty() ? "" : " or ") + std::string(name);
    }
    refuse_field(kColumns[position], expected, fields[position]);
  }

  // The window must be the row's place in the record, which is at most the
  // windows of the run.
  std::size_t window(const std::vector<std::string>& fields, std::size_t position, std::size_t windows) {
    const std::string& field = fields[position];
    const auto window = whole_number<std::int64_t>(field);
    if (!window || *window < 1 || static_cast<std::uint64_t>(*window) > windows) {
      refuse_field(kColumns[position], "a whole number from 1 to " + decimal(windows), field);
    }
    const std::size_t place = record_.rows.size() + 1;
    if (static_cast<std::size_t>(*window) != place) {
      refuse_field(kColumns[position], decimal(place) + ", the row's place in the record", field);
    }
    return place;
  }

  void read_field(const std::vector<std::string>& fields, std::size_t i, Row& row) {
    switch (i) {
      case column("program"):
        row.program = label(fields, i, "the program's name");
        break;
      case column("seed"):
        row.seed = whole<std::uint32_t>(fields, i, "a whole number from 0 to 4294967295");
        break;
      case column("seed_source"):
        row.seed_source = one_of(fields, i, {kTickCountSeed, kChosenSeed});
        break;
      case column("hundredths_clock"):
        row.hundredths_clock = one_of(fields, i, {kHundredthsClock});
        break;
      case column("nanoseconds_clock"):
        row.nanoseconds_clock = label(fields, i, "the monotonic clock's name");
        break;
      case column("window"):
        row.window = window(fields, i, row.windows);
        break;
      case column("windows"):
        break;  // read first
      case column("table"):
        row.table = label(fields, i, "the table's name");
        break;
      case column("row_label"):
        row.row_label = label(fields, i, "the row's label");
        break;
      case column("column_label"):
        row.column_label = label(fields, i, "the column's label");
        break;
      case column("hundredths"):
        row.hundredths = whole<std::int64_t>(fields, i, "a whole number");
        break;
      case column("nanoseconds"):
        row.nanoseconds = at_least<std::int64_t>(fields, i, 0);
        break;
      case column("kernel"):
        row.kernel = label(fields, i, "the name of a sort");
        break;
      case column("table_index"):
        row.table_index = at_least<std::size_t>(fields, i, 0);
        break;
      case column("row_index"):
        row.row_index = at_least<std::size_t>(fields, i, 0);
        break;
      case column("column_index"):
        row.column_index = at_least<std::size_t>(fields, i, 0);
        break;
      case column("cpu_nanoseconds"):
      case column("involuntary_switches"):
      case column("migrations"):
      case column("cycles"):
      case column("instructions"):
      case column("branch_misses"):
      case column("cache_misses"):
        row.*kEvidenceMembers[i - kFirstEvidenceColumn] = count(fields, i);
        break;
      case column("uncounted"):
        break;  // checked against the counts once the row is read
    }
  }

  // What the run sets once must read the same on every row.
  void check_constants(const std::vector<std::string>& fields, const Row& row) {
    if (record_.rows.empty()) {
      record_.program = row.program;
      record_.seed = row.seed;
      record_.windows = row.windows;
      first_ = fields;
      first_line_ = line_;
      return;
    }
    for (const std::size_t i : {column("program"), column("seed"), column("seed_source"), column("hundredths_clock"),
                                column("nanoseconds_clock"), column("windows"), column("uncounted")}) {
      if (i >= fields.size()) continue;  // an earlier layout
      if (fields[i] != first_[i]) {
        refuse_field(kColumns[i], shown(first_[i]) + " as on line " + decimal(first_line_), fields[i]);
      }
    }
  }

  std::string_view text_;
  std::string_view source_;
  std::size_t at_ = 0;         // where the next row starts
  std::size_t line_ = 1;       // the line it starts on
  std::size_t row_lines_ = 1;  // the lines the last row read spans
  Record record_;
  std::vector<std::string> first_;  // the first row's fields
  std::size_t first_line_ = 0;
};

}  // namespace

RecordError::RecordError(std::string_view source, std::size_t line, std::string_view expected, std::string_view found)
    : std::runtime_error(std::string(source) + ":" + std::to_string(line) + ": expected " + std::string(expected) +
                         ", found " + std::string(found)),
      source_(source),
      line_(line) {}

Record read_record(std::string_view text, std::string_view source) { return Reader(text, source).read(); }

}  // namespace kit::record
