// Running one program of the suite for the study: in its own folder, with
// an empty standard input, its console kept verbatim in console.txt and its
// progress lines counted as they arrive.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "study/suite_programs.hpp"

namespace study {

// Counts a program's progress lines in its console output, fed in pieces
// as they arrive, and keeps the first runtime error line.
class ProgressTracker {
 public:
  explicit ProgressTracker(ProgressKind kind) : kind_(kind) {}
  void feed(std::string_view bytes);
  int steps() const { return steps_; }
  const std::string& runtime_error() const { return runtime_error_; }

 private:
  void line(std::string_view text);

  ProgressKind kind_;
  std::string partial_;
  int steps_ = 0;
  std::string runtime_error_;
};

// Ctrl-C, SIGTERM and SIGHUP while the study runs: recorded through a pipe
// that the run loop waits on together with the program's output.
class InterruptWatch {
 public:
  InterruptWatch();
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  int descriptor() const { return read_end_; }
  // Takes the signals that arrived since the last call; returns how many.
  int take();
  bool interrupted() const { return count_ > 0; }
  int count() const { return count_; }

 private:
  int read_end_ = -1;
  int count_ = 0;
};

struct RunOutcome {
  bool started = false;  // false: the program could not be started at all
  bool exited = false;   // ended by exit(); exit_status is valid
  int exit_status = -1;
  int signal = 0;            // the signal that ended it, if any
  bool interrupted = false;  // the user stopped it
  double wall_seconds = 0;
  std::int64_t peak_resident_bytes = 0;
  int steps = 0;
  std::string runtime_error;  // its "Runtime error N at $XXXXXXXX" line, if any
};

// Called when the progress count changes and, with `tick_seconds`, about
// once a second; `elapsed` is the wall time so far.
using ProgressReport = std::function<void(int steps, double elapsed)>;

RunOutcome run_suite_program(const std::filesystem::path& executable, const SuiteProgram& program,
                             const std::filesystem::path& folder, InterruptWatch& interrupts,
                             const ProgressReport& report, bool tick_seconds);

}  // namespace study
