#include "study/run/program_runner.hpp"

#include <chrono>
#include <string_view>
#include <vector>

#include "study/model/run_folder_layout.hpp"
#include "study/os/files.hpp"
#include "study/os/program.hpp"
#include "study/os/tool_error.hpp"
#include "study/run/progress_tracker.hpp"

namespace study {
namespace {

// console.txt, written as the bytes arrive. A failure to write it is noted
// once and ends the copy; the program is not disturbed by it.
class ConsoleCopy {
 public:
  explicit ConsoleCopy(std::filesystem::path path) : path_(std::move(path)), file_(path_) {
    if (!file_.is_open()) note_failure(file_.open_error());
  }

  void write(std::string_view bytes) {
    if (!file_.is_open()) return;
    if (const int error = file_.write(bytes); error != 0) note_failure(error);
  }

  // The failure, if any; closes the file.
  std::string finish() {
    if (file_.is_open()) {
      if (const int error = file_.close(); error != 0) note_failure(error);
    }
    return failure_;
  }

 private:
  void note_failure(int error_number) {
    if (file_.is_open()) file_.close();
    if (failure_.empty()) failure_ = "cannot write " + path_.string() + ": " + error_text(error_number);
  }

  std::filesystem::path path_;
  os::OutputFile file_;
  std::string failure_;
};

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

RunOutcome run_suite_program(const std::filesystem::path& executable, const analysis::SuiteProgram& program,
                             const std::filesystem::path& folder, os::InterruptWatch& interrupts,
                             const ProgressReport& report, bool tick_seconds,
                             const std::vector<std::string>& environment) {
  RunOutcome outcome;
  ConsoleCopy console(folder / run_files::kConsoleFile);
  const auto start = std::chrono::steady_clock::now();
  os::RunningProgram running({executable, {}, environment, folder});

  ProgressTracker tracker(program.family);
  int sent_signals = 0;
  const auto forward_interrupt = [&] {
    // The first Ctrl-C asks the program to stop, a second one insists.
    if (interrupts.take() == 0) return;
    outcome.interrupted = true;
    while (sent_signals < interrupts.count() && sent_signals < 2) {
      if (sent_signals == 0) {
        running.interrupt();
      } else {
        running.kill();
      }
      ++sent_signals;
    }
  };
  forward_interrupt();
  report(0, 0);
  const std::optional<std::chrono::milliseconds> tick =
      tick_seconds ? std::optional(std::chrono::milliseconds(1000)) : std::nullopt;
  std::string bytes;
  while (true) {
    const os::ProgramEvent event = running.next_event(interrupts, tick, bytes);
    if (event == os::ProgramEvent::interrupt) {
      forward_interrupt();
      continue;
    }
    if (event == os::ProgramEvent::quiet) {
      report(tracker.steps(), seconds_since(start));
      continue;
    }
    if (event == os::ProgramEvent::end_of_output) break;  // the program and everything it started
    console.write(bytes);
    const int before = tracker.steps();
    tracker.feed(bytes);
    if (tracker.steps() != before) report(tracker.steps(), seconds_since(start));
  }
  outcome.console_failure = console.finish();

  const os::ProgramEnd end = running.wait();
  forward_interrupt();
  outcome.wall_seconds = seconds_since(start);
  outcome.peak_resident_bytes = end.peak_resident_bytes;
  outcome.exited = end.exited;
  outcome.exit_status = end.exit_status;
  outcome.cause = end.cause;
  outcome.cause_name = end.cause_name;
  outcome.steps = tracker.steps();
  outcome.runtime_error = tracker.runtime_error();
  return outcome;
}

}  // namespace study
