// The failure rule shared by every program: the first failed file or console
// operation ends the run at once with a "Runtime error" report and a status.
#pragma once

#include <cstdint>

#include "kit/call_site.hpp"

namespace kit {

// Error numbers of the report that are not operating-system codes.
inline constexpr int kErrorOutOfMemory = 12;
inline constexpr int kErrorFileNotOpen = 103;
inline constexpr int kErrorFileNotOpenForInput = 104;
inline constexpr int kErrorFileNotOpenForOutput = 105;
inline constexpr int kErrorInvalidNumericFormat = 106;

// The eight hexadecimal digits of the report: a hash of the source position
// of the failing operation, so it is the same in every run of one build and
// different for each operation.
std::uint32_t failure_site_code(const CallSite& where);

// Writes "Runtime error N at $XXXXXXXX", the active routines (innermost
// first) and an empty line to standard output, then ends the process with
// status N mod 256. Open files are neither flushed nor closed.
[[noreturn]] void stop_with_runtime_error(int error_number, const CallSite& where);

// Marks a routine as active for the listing of a runtime error report.
// Routines nest; the listing shows them innermost first.
class ActiveRoutine {
 public:
  explicit ActiveRoutine(const char* name) noexcept;
  ~ActiveRoutine();
  ActiveRoutine(const ActiveRoutine&) = delete;
  ActiveRoutine& operator=(const ActiveRoutine&) = delete;
};

// Run once at the top of main: ignores SIGPIPE, so a write into a closed
// pipe fails with error 32 instead of killing the process silently, and
// occupies any closed standard descriptor so that no file opened later can
// take its number. An occupied stream keeps failing like a closed one.
void prepare_process() noexcept;

}  // namespace kit
