// What the tools know about the six programs of the suite: one constant
// description per program, built once from the program's own parameter set,
// of the order they run in, the memory they obtain at start, how they report
// progress and what their results file looks like. Nothing here is typed
// twice.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cutoff/cutoff_parameters.hpp"
#include "kit/file_names.hpp"
#include "kit/kernel_names.hpp"
#include "kit/table_caption.hpp"
#include "quickvscount/file_duel_parameters.hpp"
#include "quickvscount/grid_duel_parameters.hpp"
#include "quickvscount/input_buffer.hpp"
#include "smallarrays/small_array_parameters.hpp"

namespace analysis {

// The question a program asks, which decides how it reports progress, what
// its results file looks like and how its answer is given.
enum class ProgramFamily {
  small_arrays,  // which sort is fastest at each short length; a progress line per length
  file_duel,     // quicksort or counting sort, per input; a report block per input
  grid_duel,     // from which length counting sort beats quicksort, per value range; a line per cell
  cutoff,        // which insertion-sort cutoff makes quicksort fastest; a line per cell
};

// The results file holds two tables of the same rows and columns.
constexpr bool has_two_tables(ProgramFamily family) {
  return family == ProgramFamily::grid_duel || family == ProgramFamily::cutoff;
}

// Room for at most N items, filled at compile time.
template <class T, std::size_t N>
class FixedList {
 public:
  constexpr void push_back(const T& item) {
    if (size_ == N) throw std::length_error("a program has more items than its description holds");
    items_[size_++] = item;
  }
  constexpr std::size_t size() const { return size_; }
  constexpr const T& operator[](std::size_t index) const { return items_[index]; }
  constexpr const T* begin() const { return items_.data(); }
  constexpr const T* end() const { return items_.data() + size_; }

 private:
  std::array<T, N> items_{};
  std::size_t size_ = 0;
};

// A count written with commas between groups of three digits.
struct Grouped {
  std::int64_t count;
};

// Text of at most N characters, written at compile time from texts, counts
// in decimal and Grouped counts.
template <std::size_t N>
class FixedText {
 public:
  template <class... Parts>
  constexpr FixedText& append(const Parts&... parts) {
    (add(parts), ...);
    return *this;
  }
  constexpr std::string_view view() const { return {chars_.data(), size_}; }

 private:
  constexpr void add(std::string_view text) {
    if (text.size() > N - size_) throw std::length_error("a program's text is longer than its description holds");
    for (const char c : text) chars_[size_++] = c;
  }
  constexpr void add(Grouped grouped) { add(grouped.count, true); }
  constexpr void add(std::int64_t count, bool grouped = false) {
    std::array<char, 32> reversed{};
    std::size_t digits = 0;
    do {
      if (grouped && digits % 4 == 3) reversed[digits++] = ',';
      reversed[digits++] = static_cast<char>('0' + count % 10);
      count /= 10;
    } while (count > 0);
    while (digits > 0) add(std::string_view(&reversed[--digits], 1));
  }

  std::array<char, N> chars_{};
  std::size_t size_ = 0;
};
using Label = FixedText<20>;

// How names and verdicts call a table's rows and columns ("n", "k", "cutoff").
struct Axes {
  std::string_view row = "row";
  std::string_view column = "column";
};

// One table as the precise record names it, and the sort its cells timed.
// A table whose columns are sorts of their own has no kernel.
struct RecordTable {
  std::string_view name;
  std::string_view kernel;
};

// A column of the tables: its label in the header line and, where each
// column is a sort of its own, that sort.
struct Column {
  Label label = {};
  std::string_view kernel = {};
};

// The fixed texts and the rows of a program's "vystup.out".
struct ResultLayout {
  std::string_view first_caption = {};   // the duel has none
  std::string_view second_caption = {};  // two tables only
  std::string_view header = {};          // the tables' header line
  std::string_view separator = {};
  std::span<const std::int32_t> rows = {};    // row labels; the duel: its inputs' counts
  std::span<const std::int32_t> ranges = {};  // the duel only: its inputs' value ranges
};

// The duel's report block of input I: "Vstup c.I: pocet= N, rozsah= R",
// then its two time lines.
struct ReportBlock {
  std::string_view start;
  std::string_view count;
  std::string_view range;
  std::string_view first_time;
  std::string_view second_time;
};
inline constexpr ReportBlock kReportBlock{quickvscount::kBlockStart, quickvscount::kBlockCount,
                                          quickvscount::kBlockRange, quickvscount::kQuicksortLabel,
                                          quickvscount::kCountingsortLabel};

inline constexpr std::size_t kMostColumns = 10;

// One program of the suite, as every tool sees it.
struct SuiteProgram {
  // The parameter set itself, for what models the program's own work.
  using Parameters = std::variant<const smallarrays::SmallArrayProgram*, const quickvscount::FileDuelProgram*,
                                  const quickvscount::GridDuelProgram*, const cutoff::CutoffProgram*>;

  std::string_view name = {};
  ProgramFamily family = ProgramFamily::small_arrays;
  Parameters parameters = {};
  FixedList<RecordTable, 2> record_tables = {};  // in table order
  Axes axes = {};
  FixedList<Column, kMostColumns> columns = {};  // the duel has none
  std::int32_t progress_steps = 0;               // the progress lines of a complete run
  std::int64_t array_bytes = 0;                  // the arrays a run obtains at start and keeps to its end
  std::int64_t arrays_per_cell = 1;              // a small-array cell times a whole batch
  ResultLayout layout = {};
  FixedText<120> description = {};  // one line for the summary and the index page

  std::vector<std::string> column_labels() const;
  // The sort that timed the cell in this table and column, as its record
  // names them; empty when the program has no such table or column.
  std::string_view kernel_of(std::string_view table, std::string_view column) const;
};

// One POLE of elements 0..last.
constexpr std::int64_t pole_bytes(std::int32_t last) {
  return (std::int64_t{last} + 1) * std::int64_t{sizeof(std::int32_t)};
}

// The description of one parameter set; the tests describe scaled-down
// sets to hold the descriptions against what the drivers do.
constexpr SuiteProgram describe(const smallarrays::SmallArrayProgram& program) {
  SuiteProgram described{
      .name = program.name,
      .family = ProgramFamily::small_arrays,
      .parameters = &program,
      .axes = {.row = "n", .column = "column"},
      .progress_steps = static_cast<std::int32_t>(program.lengths.size()),
      // VZOR, TRIED and MSORT's B.
      .array_bytes = (2 * std::int64_t{program.arrays} + 1) * pole_bytes(program.last_slot),
      .arrays_per_cell = program.arrays,
      .layout = {.first_caption = smallarrays::kSmallArraysCaption,
                 .header = program.header,
                 .separator = program.separator,
                 .rows = program.lengths},
  };
  described.record_tables.push_back({kit::table_name(smallarrays::kSmallArraysCaption), {}});
  FixedText<40> sorts;
  for (const smallarrays::Algorithm algorithm : program.algorithms) {
    const std::string_view label = smallarrays::column_label(algorithm);
    described.columns.push_back({Label().append(label), smallarrays::kernel_name(algorithm)});
    sorts.append(described.columns.size() > 1 ? " " : "", label);
  }
  described.description.append(program.algorithms.size(), " comparison sorts (", sorts.view(), ") on ",
                               Grouped{program.arrays}, " arrays of ", program.lengths.front(), " to ",
                               program.lengths.back(), " elements");
  return described;
}

constexpr SuiteProgram describe(const quickvscount::FileDuelProgram& program) {
  SuiteProgram described{
      .name = program.name,
      .family = ProgramFamily::file_duel,
      .parameters = &program,
      .axes = {.row = "n", .column = "k"},
      .progress_steps = static_cast<std::int32_t>(program.inputs.POCET_PRVKOV.size()),
      // TESTQS, TESTCS, CSORT's B and C, and the buffer "vstup.in" is read through.
      .array_bytes = 4 * pole_bytes(program.last_slot) + std::int64_t{quickvscount::kInputBufferBytes} + 1,
      .layout = {.rows = program.inputs.POCET_PRVKOV, .ranges = program.inputs.ROZSAH_VSTUPU},
  };
  described.record_tables.push_back({quickvscount::kQuicksortTable, quickvscount::kQuicksortKernel});
  described.record_tables.push_back({quickvscount::kCountingsortTable, quickvscount::kCountingsortKernel});
  described.description.append(kit::kernel_legend(quickvscount::kQuicksortKernel), " against ",
                               kit::kernel_legend(quickvscount::kCountingsortKernel), " on ", described.progress_steps,
                               " inputs read from ", kit::kInputFileName);
  return described;
}

// What the two-table programs share: their tables' texts, sorts and rows,
// and the start of their description, the first table's sort "against".
constexpr void add_two_tables(SuiteProgram& described, const kit::TwoTableLayout& layout,
                              std::span<const std::int32_t> lengths) {
  described.record_tables.push_back({kit::table_name(layout.first_caption), layout.first_kernel});
  described.record_tables.push_back({kit::table_name(layout.second_caption), layout.second_kernel});
  described.layout = {.first_caption = layout.first_caption,
                      .second_caption = layout.second_caption,
                      .header = layout.header,
                      .separator = layout.separator,
                      .rows = lengths};
  described.description.append(kit::kernel_legend(layout.first_kernel), " against ");
}

constexpr SuiteProgram describe(const quickvscount::GridDuelProgram& program) {
  SuiteProgram described{
      .name = program.name,
      .family = ProgramFamily::grid_duel,
      .parameters = &program,
      .axes = {.row = "n", .column = "k"},
      .progress_steps = static_cast<std::int32_t>(program.lengths.size()) * program.ranges,
      .array_bytes = 4 * pole_bytes(program.last_index),  // TESTQS, TESTCS and CSORT's B and C
  };
  add_two_tables(described, program.layout, program.lengths);
  std::int64_t range = 1;  // column J draws from 1..10^J
  for (std::int32_t column = 1; column <= program.ranges; ++column) {
    described.columns.push_back({.label = Label().append(range *= 10)});
  }
  described.description.append(kit::kernel_legend(program.layout.second_kernel), " over ", program.lengths.size(),
                               " lengths by ", program.ranges, " value ranges");
  return described;
}

constexpr SuiteProgram describe(const cutoff::CutoffProgram& program) {
  SuiteProgram described{
      .name = program.name,
      .family = ProgramFamily::cutoff,
      .parameters = &program,
      .axes = {.row = "n", .column = "cutoff"},
      .progress_steps = static_cast<std::int32_t>(program.lengths.size()) * program.cutoffs,
      .array_bytes = 2 * pole_bytes(program.last_index),  // TESTQS and TESTCQS
  };
  add_two_tables(described, program.layout, program.lengths);
  for (std::int32_t column = 1; column <= program.cutoffs; ++column) {
    described.columns.push_back({.label = Label().append(program.row_base + column)});
  }
  described.description.append("quicksort with insertion-sort cutoffs ", program.row_base + 1, " to ",
                               program.row_base + program.cutoffs);
  return described;
}

// The whole study, in the order it runs.
inline constexpr std::array<SuiteProgram, 6> kSuitePrograms{
    describe(smallarrays::kSmallsix),   describe(smallarrays::kSmallfive), describe(quickvscount::kTallyduel),
    describe(quickvscount::kTallygrid), describe(cutoff::kCutoffwide),     describe(cutoff::kCutoffnarrow),
};

// The first program of the suite of `family`: the texts a family's results
// file shares, whichever program wrote it.
constexpr const SuiteProgram& first_of(ProgramFamily family) {
  for (const SuiteProgram& program : kSuitePrograms) {
    if (program.family == family) return program;
  }
  throw std::invalid_argument("no program of the suite is of this family");
}

// The sort a small-array column label names ("QS": QSORT); empty for none.
constexpr std::string_view small_array_kernel(std::string_view label) {
  for (const smallarrays::AlgorithmNames& names : smallarrays::kAlgorithmNames) {
    if (names.column_label == label) return names.kernel;
  }
  return {};
}

// nullptr when `name` is not one of the six.
const SuiteProgram* find_suite_program(std::string_view name);

// The names in the order they run, separated by spaces.
std::string suite_program_names();

// Room a program needs beyond its arrays: code, stack, the C library, buffers.
inline constexpr std::int64_t kProgramOverheadBytes = 16 * 1024 * 1024;

}  // namespace analysis
