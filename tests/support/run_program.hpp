// Runs a real program of the suite as a child process, the way a user would,
// and collects what it printed and how it ended.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace test_support {

struct ProgramRun {
  std::filesystem::path program;
  std::filesystem::path directory;           // the child's current directory
  std::string standard_input = "/dev/null";  // a file to read from
  std::string standard_output;               // a file to write to; empty: captured
  bool close_standard_output = false;        // start the child with descriptor 1 closed
  std::optional<long> address_space_bytes;   // RLIMIT_AS of the child
};

struct ProgramResult {
  int exit_status = -1;  // -1 when the child did not exit normally
  int signal = 0;        // the signal that ended it, if any
  std::string output;    // what it wrote to standard output, when captured
};

ProgramResult run_program(const ProgramRun& run);

}  // namespace test_support
