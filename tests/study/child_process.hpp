// Runs a tool of the suite (study, resultchart) with arguments as a child,
// its standard output and error read through a pipe as they come, so a test
// can wait for a line and then act, e.g. press Ctrl-C.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace study_tests {

class ChildProcess {
 public:
  // With `hold_input_open`, standard input is a pipe the test keeps open
  // (a child that waits for a line would wait forever); else /dev/null.
  ChildProcess(const std::vector<std::string>& arguments, const std::filesystem::path& directory,
               bool hold_input_open = false);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Reads until `marker` has appeared in the output; false at end of output.
  bool read_until(std::string_view marker);
  void send_signal(int signal);
  // Reads the rest and waits: the exit status, or 128 + the signal.
  int finish();

  const std::string& output() const { return output_; }

 private:
  bool read_some();

  pid_t pid_ = -1;
  int output_fd_ = -1;
  int input_fd_ = -1;
  std::string output_;
};

// Runs to the end; returns the exit status and fills `output`.
int run_tool(const std::vector<std::string>& arguments, const std::filesystem::path& directory, std::string& output);

}  // namespace study_tests
