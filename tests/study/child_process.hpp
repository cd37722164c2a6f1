// Runs a tool of the suite (study, resultchart) with arguments as a child,
// its standard output and error read through a pipe as they come, so a test
// can wait for a line and then act, e.g. press Ctrl-C.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace study_tests {

// A program built with the tests, by the path the build gave it
// (STUDY_PATH, ...). A path without a drive letter, as a cross build gives
// the tests under Wine, is taken on the drive the tests started on, not on
// the drive of a scratch folder a test has moved to.
std::string built(const char* build_path);

class ChildProcess {
 public:
  // With `hold_input_open`, standard input is a pipe the test keeps open
  // (a child that waits for a line would wait forever); else it is empty.
  ChildProcess(const std::vector<std::string>& arguments, const std::filesystem::path& directory,
               bool hold_input_open = false);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Reads until `marker` has appeared in the output; false at end of output.
  bool read_until(std::string_view marker);
  // Presses Ctrl-C in the child's terminal or console: SIGINT on POSIX
  // systems, CTRL_C_EVENT on Windows (where the child has a console of its own).
  void press_ctrl_c();
  // Reads the rest and waits: the exit status, or 128 + the signal.
  int finish();

  const std::string& output() const { return output_; }

  struct State;

 private:
  bool read_some();

  std::unique_ptr<State> state_;
  std::string output_;
};

// Runs to the end; returns the exit status and fills `output`.
int run_tool(const std::vector<std::string>& arguments, const std::filesystem::path& directory, std::string& output);

// Ends the process `process_id` (a program the study runs) from outside, as
// the system would: SIGKILL, as the out-of-memory killer sends it; on
// Windows TerminateProcess with a crash's status, 0xC0000005.
void end_from_outside(std::uint64_t process_id);

}  // namespace study_tests
