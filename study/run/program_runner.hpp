// Running one program of the suite for the study: in its own folder, with
// an empty standard input, its console kept verbatim in console.txt and its
// progress lines counted as they arrive.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/programs/suite_programs.hpp"
#include "study/os/interrupts.hpp"

namespace study {

struct RunOutcome {
  bool exited = false;  // ended by exit(); exit_status is valid
  int exit_status = -1;
  std::string cause;         // else what ended it: "signal 9", on Windows "exception 0xC0000005"
  std::string cause_name;    // the system's name for it: "Killed", "access violation"
  bool interrupted = false;  // the user stopped it
  double wall_seconds = 0;
  std::optional<std::int64_t> peak_resident_bytes;  // absent when the system cannot tell it
  int steps = 0;
  std::string runtime_error;  // its "Runtime error N at $XXXXXXXX" line, if any
  // The study's own failure to keep the console ("cannot write .../console.txt:
  // no space left on device"); the program ran on regardless.
  std::string console_failure;
};

// Called when the progress count changes and, with `tick_seconds`, about
// once a second; `elapsed` is the wall time so far.
using ProgressReport = std::function<void(int steps, double elapsed)>;

// `environment` holds "NAME=value" settings added to the study's own
// environment for the program. Throws ToolError when the program cannot be
// started or watched at all.
RunOutcome run_suite_program(const std::filesystem::path& executable, const analysis::SuiteProgram& program,
                             const std::filesystem::path& folder, os::InterruptWatch& interrupts,
                             const ProgressReport& report, bool tick_seconds,
                             const std::vector<std::string>& environment = {});

}  // namespace study
