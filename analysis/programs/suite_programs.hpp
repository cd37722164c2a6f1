// What the study knows about the six programs of the suite, every figure
// taken from the programs' own parameter sets: the order they run in, the
// memory they obtain at start, how they report progress and what their
// results file looks like. Nothing here is typed twice.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cutoff/cutoff_parameters.hpp"
#include "kit/table_caption.hpp"
#include "quickvscount/file_duel_parameters.hpp"
#include "quickvscount/grid_duel_parameters.hpp"
#include "quickvscount/input_buffer.hpp"
#include "smallarrays/small_array_parameters.hpp"

namespace analysis {

enum class ResultForm { small_arrays, duel, two_tables };

// The question a program asks, which decides how its answer is given.
enum class ProgramKind {
  small_arrays,  // which sort is fastest at each short length
  file_duel,     // quicksort or counting sort, per input
  grid_duel,     // from which length counting sort beats quicksort, per value range
  cutoff,        // which insertion-sort cutoff makes quicksort fastest
};

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

// How a program shows that one more step of its run is done.
enum class ProgressKind {
  length_index,  // "I": one line per array length
  report_block,  // "Cas Countingsortu: ...": the last line of one input's block
  grid_cell,     // "I J": one line per (row, column) cell
};

// The fixed texts and the rows of a program's "vystup.out".
struct ResultLayout {
  ResultForm form = ResultForm::small_arrays;
  std::string_view first_caption = {};   // the duel has none
  std::string_view second_caption = {};  // two tables only
  std::string_view header = {};          // the tables' header line
  std::string_view separator = {};
  std::span<const std::int32_t> rows = {};    // row labels; the duel: its inputs' counts
  std::span<const std::int32_t> ranges = {};  // the duel only: its inputs' value ranges
};

// The facts of one parameter set, one overload per kind of program, so the
// tests can hold them against what the drivers do on scaled-down sets.
namespace facts {

using cutoff::CutoffProgram;
using quickvscount::FileDuelProgram;
using quickvscount::GridDuelProgram;
using smallarrays::SmallArrayProgram;

// One POLE of elements 0..last.
constexpr std::int64_t pole_bytes(std::int32_t last) {
  return (std::int64_t{last} + 1) * std::int64_t{sizeof(std::int32_t)};
}

// The arrays a run obtains at start and keeps to its end.
constexpr std::int64_t array_bytes(const SmallArrayProgram& program) {
  return (2 * std::int64_t{program.arrays} + 1) * pole_bytes(program.last_slot);  // VZOR, TRIED and MSORT's B
}
constexpr std::int64_t array_bytes(const FileDuelProgram& program) {
  // TESTQS, TESTCS, CSORT's B and C, and the buffer "vstup.in" is read through.
  return 4 * pole_bytes(program.last_slot) + std::int64_t{quickvscount::kInputBufferBytes} + 1;
}
constexpr std::int64_t array_bytes(const GridDuelProgram& program) {
  return 4 * pole_bytes(program.last_index);  // TESTQS, TESTCS and CSORT's B and C
}
constexpr std::int64_t array_bytes(const CutoffProgram& program) {
  return 2 * pole_bytes(program.last_index);  // TESTQS and TESTCQS
}

// The progress lines of a complete run.
constexpr std::int32_t progress_steps(const SmallArrayProgram& program) {
  return static_cast<std::int32_t>(program.lengths.size());
}
constexpr std::int32_t progress_steps(const FileDuelProgram& program) {
  return static_cast<std::int32_t>(program.inputs.POCET_PRVKOV.size());
}
constexpr std::int32_t progress_steps(const GridDuelProgram& program) {
  return static_cast<std::int32_t>(program.lengths.size()) * program.ranges;
}
constexpr std::int32_t progress_steps(const CutoffProgram& program) {
  return static_cast<std::int32_t>(program.lengths.size()) * program.cutoffs;
}

constexpr ProgramKind program_kind(const SmallArrayProgram&) { return ProgramKind::small_arrays; }
constexpr ProgramKind program_kind(const FileDuelProgram&) { return ProgramKind::file_duel; }
constexpr ProgramKind program_kind(const GridDuelProgram&) { return ProgramKind::grid_duel; }
constexpr ProgramKind program_kind(const CutoffProgram&) { return ProgramKind::cutoff; }

constexpr Axes axes(const SmallArrayProgram&) { return {.row = "n", .column = "column"}; }
constexpr Axes axes(const FileDuelProgram&) { return {.row = "n", .column = "k"}; }
constexpr Axes axes(const GridDuelProgram&) { return {.row = "n", .column = "k"}; }
constexpr Axes axes(const CutoffProgram&) { return {.row = "n", .column = "cutoff"}; }

// The tables of the program's record, in table order.
using RecordTables = std::array<RecordTable, 2>;
inline constexpr std::array<RecordTable, 1> kSmallArrayRecordTables{
    {{kit::table_name(smallarrays::kSmallArraysCaption), {}}}};
constexpr std::span<const RecordTable> record_tables(const SmallArrayProgram&) { return kSmallArrayRecordTables; }
constexpr RecordTables record_tables(const FileDuelProgram&) {
  return {{{quickvscount::kQuicksortTable, quickvscount::kQuicksortKernel},
           {quickvscount::kCountingsortTable, quickvscount::kCountingsortKernel}}};
}
constexpr RecordTables two_record_tables(const kit::TwoTableLayout& layout) {
  return {{{kit::table_name(layout.first_caption), layout.first_kernel},
           {kit::table_name(layout.second_caption), layout.second_kernel}}};
}
constexpr RecordTables record_tables(const GridDuelProgram& program) { return two_record_tables(program.layout); }
constexpr RecordTables record_tables(const CutoffProgram& program) { return two_record_tables(program.layout); }

constexpr ProgressKind progress_kind(const SmallArrayProgram&) { return ProgressKind::length_index; }
constexpr ProgressKind progress_kind(const FileDuelProgram&) { return ProgressKind::report_block; }
constexpr ProgressKind progress_kind(const GridDuelProgram&) { return ProgressKind::grid_cell; }
constexpr ProgressKind progress_kind(const CutoffProgram&) { return ProgressKind::grid_cell; }

// How many arrays one time cell sorts: a cell of the small-array tables is
// the time of a whole batch.
constexpr std::int64_t arrays_per_cell(const SmallArrayProgram& program) { return program.arrays; }
constexpr std::int64_t arrays_per_cell(const FileDuelProgram&) { return 1; }
constexpr std::int64_t arrays_per_cell(const GridDuelProgram&) { return 1; }
constexpr std::int64_t arrays_per_cell(const CutoffProgram&) { return 1; }

constexpr ResultLayout result_layout(const SmallArrayProgram& program) {
  return {.form = ResultForm::small_arrays,
          .first_caption = smallarrays::kSmallArraysCaption,
          .header = program.header,
          .separator = program.separator,
          .rows = program.lengths};
}
constexpr ResultLayout result_layout(const FileDuelProgram& program) {
  return {.form = ResultForm::duel, .rows = program.inputs.POCET_PRVKOV, .ranges = program.inputs.ROZSAH_VSTUPU};
}
constexpr ResultLayout two_table_layout(const kit::TwoTableLayout& layout, std::span<const std::int32_t> rows) {
  return {.form = ResultForm::two_tables,
          .first_caption = layout.first_caption,
          .second_caption = layout.second_caption,
          .header = layout.header,
          .separator = layout.separator,
          .rows = rows};
}
constexpr ResultLayout result_layout(const GridDuelProgram& program) {
  return two_table_layout(program.layout, program.lengths);
}
constexpr ResultLayout result_layout(const CutoffProgram& program) {
  return two_table_layout(program.layout, program.lengths);
}

// The column labels the parameters call for: the algorithms, the value
// ranges 10^J or the cutoffs base + J; the duel has no columns.
std::vector<std::string> column_labels(const SmallArrayProgram& program);
std::vector<std::string> column_labels(const FileDuelProgram& program);
std::vector<std::string> column_labels(const GridDuelProgram& program);
std::vector<std::string> column_labels(const CutoffProgram& program);

// One line for the summary and the index page.
std::string description(const SmallArrayProgram& program);
std::string description(const FileDuelProgram& program);
std::string description(const GridDuelProgram& program);
std::string description(const CutoffProgram& program);

}  // namespace facts

// One program of the suite, seen through its parameter set.
class SuiteProgram {
 public:
  using Parameters = std::variant<const facts::SmallArrayProgram*, const facts::FileDuelProgram*,
                                  const facts::GridDuelProgram*, const facts::CutoffProgram*>;

  template <class Program>
  constexpr explicit SuiteProgram(const Program& program) : parameters_(&program) {}

  constexpr std::string_view name() const {
    return std::visit([](const auto* program) { return std::string_view(program->name); }, parameters_);
  }
  constexpr std::int64_t array_bytes() const {
    return std::visit([](const auto* program) { return facts::array_bytes(*program); }, parameters_);
  }
  constexpr std::int32_t progress_steps() const {
    return std::visit([](const auto* program) { return facts::progress_steps(*program); }, parameters_);
  }
  constexpr ProgressKind progress_kind() const {
    return std::visit([](const auto* program) { return facts::progress_kind(*program); }, parameters_);
  }
  constexpr std::int64_t arrays_per_cell() const {
    return std::visit([](const auto* program) { return facts::arrays_per_cell(*program); }, parameters_);
  }
  constexpr ResultLayout result_layout() const {
    return std::visit([](const auto* program) { return facts::result_layout(*program); }, parameters_);
  }
  constexpr ProgramKind kind() const {
    return std::visit([](const auto* program) { return facts::program_kind(*program); }, parameters_);
  }
  constexpr Axes axes() const {
    return std::visit([](const auto* program) { return facts::axes(*program); }, parameters_);
  }
  std::vector<RecordTable> record_tables() const;
  std::vector<std::string> column_labels() const;
  std::string description() const;

  // The sort that timed the cell in this table and column, as its record
  // names them; empty when the program has no such table or column.
  std::string_view kernel_of(std::string_view table, std::string_view column) const;

  // The program's own parameter set.
  constexpr const Parameters& parameters() const { return parameters_; }

 private:
  Parameters parameters_;
};

// The whole study, in the order it runs.
inline constexpr std::array<SuiteProgram, 6> kSuitePrograms{
    SuiteProgram(smallarrays::kSmallsix),   SuiteProgram(smallarrays::kSmallfive),
    SuiteProgram(quickvscount::kTallyduel), SuiteProgram(quickvscount::kTallygrid),
    SuiteProgram(cutoff::kCutoffwide),      SuiteProgram(cutoff::kCutoffnarrow),
};

// nullptr when `name` is not one of the six.
const SuiteProgram* find_suite_program(std::string_view name);

// The names in the order they run, separated by spaces.
std::string suite_program_names();

// Room a program needs beyond its arrays: code, stack, the C library, buffers.
inline constexpr std::int64_t kProgramOverheadBytes = 16 * 1024 * 1024;

}  // namespace analysis
