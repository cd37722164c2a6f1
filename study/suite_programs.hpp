// What the study tools know about the six programs of the suite: the order
// they run in, what each needs, how it reports progress and which result
// layout it writes.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace study {

// How a program shows that one more step of its run is done.
enum class ProgressKind {
  length_index,  // "I": one line per array length
  report_block,  // "Cas Countingsortu: ...": the last line of one input's block
  grid_cell,     // "I J": one line per (row, column) cell
};

struct SuiteProgram {
  std::string_view name;
  std::int64_t array_bytes;     // the fixed arrays it obtains at start
  std::int32_t progress_steps;  // progress lines of a complete run
  ProgressKind progress;
  std::int64_t arrays_per_cell;  // small-array programs: arrays sorted per time cell; else 1
  std::string_view what;         // one line for the summary and the index page
};

// The whole study, in the order it runs.
std::span<const SuiteProgram> suite_programs();
// nullptr when `name` is not one of the six.
const SuiteProgram* find_suite_program(std::string_view name);

// Room a program needs beyond its arrays: code, stack, the C library, buffers.
inline constexpr std::int64_t kProgramOverheadBytes = 16 * 1024 * 1024;

}  // namespace study
