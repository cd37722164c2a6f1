// The precise record of a run (record.csv): a CSV header naming the columns,
// then one row per timed window in the order of measurement, lines ending
// with CR LF. Columns are only ever added at the end, so a reader selects
// them by name; the reader of this library knows every layout written so far.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kit::record {

// Every column, in order. A record holds either all of them or, when it was
// written before the kernel and the indices were added, the first
// kLabelColumns of them.
inline constexpr std::array<std::string_view, 16> kColumns{
    "program", "seed",        "seed_source", "hundredths_clock", "nanoseconds_clock", "window",
    "windows", "table",       "row_label",   "column_label",     "hundredths",        "nanoseconds",
    "kernel",  "table_index", "row_index",   "column_index",
};
inline constexpr std::size_t kLabelColumns = 12;

// The position of the column `name` in kColumns; kColumns.size() for none.
constexpr std::size_t position_of(std::string_view name) {
  std::size_t position = 0;
  while (position < kColumns.size() && kColumns[position] != name) ++position;
  return position;
}

// The position of a column the code names; a name not in kColumns does not compile.
consteval std::size_t column(std::string_view name) {
  if (position_of(name) == kColumns.size()) throw "not a column of the record";
  return position_of(name);
}

// The header line of a record of the first `columns` columns, without line end.
std::string header_line(std::size_t columns = kColumns.size());

// How the record names the source of the seed, and the clock of the time cells.
inline constexpr std::string_view kTickCountSeed = "tick_count";
inline constexpr std::string_view kChosenSeed = "SORTBENCH_SEED";
inline constexpr std::string_view kHundredthsClock = "local_time_of_day";

// One row: one timed window.
struct Row {
  std::string program;            // the program that ran
  std::uint32_t seed = 0;         // the seed of its generator
  std::string seed_source;        // kTickCountSeed or kChosenSeed
  std::string hundredths_clock;   // kHundredthsClock
  std::string nanoseconds_clock;  // the monotonic clock, as the system names it
  std::size_t window = 0;         // 1..windows, in the order of measurement
  std::size_t windows = 0;        // the windows the run measures; fewer rows mean an incomplete record
  std::string table;              // the window's place as "vystup.out" labels it
  std::string row_label;
  std::string column_label;
  std::int64_t hundredths = 0;   // as the cell reports them; negative when the wall clock was set back
  std::int64_t nanoseconds = 0;  // the same window on the monotonic clock
  std::string kernel;            // the sort the window timed, e.g. "QSORT"; empty in a label-only record
  // 0-based positions of the window's table, row and column; absent in a
  // label-only record.
  std::optional<std::size_t> table_index;
  std::optional<std::size_t> row_index;
  std::optional<std::size_t> column_index;

  bool operator==(const Row&) const = default;
};

// Appends the row's fields in column order, every column, without line end.
// An absent index is written as an empty field.
void append_row(std::string& line, const Row& row);

}  // namespace kit::record
