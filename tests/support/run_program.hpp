// Runs code in a child process, with standard streams of its own: a real
// program of the suite, the way a user would start it, or a piece of the
// test program that ends the process (a runtime error).
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

struct ProgramResult {
  int exit_status = -1;  // -1 when the child did not exit normally
  int signal = 0;        // the signal that ended it, if any
  std::string output;    // what it wrote to standard output, when captured
};

// The child's standard streams; files are named relative to the parent's
// current directory.
struct ChildStreams {
  std::string standard_input = "/dev/null";  // a file to read from
  bool close_standard_input = false;         // start with descriptor 0 closed
  std::string standard_output;               // a file to write to; empty: captured
  bool close_standard_output = false;        // start with descriptor 1 closed
  std::string standard_error;                // a file to write to; empty: the parent's
};

// Forks, sets up the child's streams, runs `body` there and ends the child
// with status 0 if the body returns. The child keeps the parent's current
// directory. Returns how the child ended and what it printed.
ProgramResult run_in_child(const std::function<void()>& body, const ChildStreams& streams = {});

struct ProgramRun {
  std::filesystem::path program;
  std::filesystem::path directory;  // the child's current directory
  ChildStreams streams;
  std::optional<long> address_space_bytes;                       // RLIMIT_AS of the child
  std::vector<std::pair<std::string, std::string>> environment;  // set in the child, beside the parent's
};

ProgramResult run_program(const ProgramRun& run);

}  // namespace test_support
