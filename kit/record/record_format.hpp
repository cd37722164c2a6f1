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

// Every column, in order. A record holds all of them, or one of the
// earlier layouts: the first kLabelColumns, written before the kernel and
// the indices were added, or the first kKernelColumns, written before each
// window's evidence was.
inline constexpr std::array<std::string_view, 24> kColumns{
    "program",    "seed",        "seed_source",  "hundredths_clock", "nanoseconds_clock", "window",
    "windows",    "table",       "row_label",    "column_label",     "hundredths",        "nanoseconds",
    "kernel",     "table_index", "row_index",    "column_index",     "cpu_nanoseconds",   "involuntary_switches",
    "migrations", "cycles",      "instructions", "branch_misses",    "cache_misses",      "uncounted",
};
inline constexpr std::size_t kLabelColumns = 12;
inline constexpr std::size_t kKernelColumns = 16;

// The columns of a window's evidence, from cpu_nanoseconds to cache_misses.
// A count the system does not give the process is an empty field, and
// "uncounted" names those columns once for the whole run.
inline constexpr std::size_t kFirstEvidenceColumn = kKernelColumns;
inline constexpr std::size_t kEvidenceColumns = 7;
static_assert(kColumns[kKernelColumns - 1] == "column_index" && kColumns[kFirstEvidenceColumn] == "cpu_nanoseconds" &&
              kColumns[kFirstEvidenceColumn + kEvidenceColumns - 1] == "cache_misses" &&
              kColumns.back() == "uncounted");

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
  // What the system counted for the measuring thread over the window, just
  // outside its clock readings; absent where the system does not count it,
  // and in the earlier layouts.
  std::optional<std::int64_t> cpu_nanoseconds{};       // the thread's CPU time
  std::optional<std::int64_t> involuntary_switches{};  // the times the thread was switched out against its will
  std::optional<std::int64_t> migrations{};            // the times it was moved to another processor
  std::optional<std::int64_t> cycles{};                // the processor's own events
  std::optional<std::int64_t> instructions{};
  std::optional<std::int64_t> branch_misses{};
  std::optional<std::int64_t> cache_misses{};

  bool operator==(const Row&) const = default;
};

// The evidence of a row in column order, cpu_nanoseconds first.
using EvidenceMember = std::optional<std::int64_t> Row::*;
inline constexpr std::array<EvidenceMember, kEvidenceColumns> kEvidenceMembers{
    &Row::cpu_nanoseconds, &Row::involuntary_switches, &Row::migrations,   &Row::cycles,
    &Row::instructions,    &Row::branch_misses,        &Row::cache_misses,
};

// The names of the row's absent evidence columns, separated by spaces: the
// "uncounted" field. Empty when every count is there.
std::string uncounted_columns(const Row& row);

// Appends the row's fields in column order, every column, without line end.
// An absent index or count is written as an empty field.
void append_row(std::string& line, const Row& row);

}  // namespace kit::record
