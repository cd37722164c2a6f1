// Runs a piece of the test program in a forked child, for code that ends the
// process (a runtime error) or needs its own standard streams.
#pragma once

#include <functional>
#include <string>

#include "support/run_program.hpp"

namespace test_support {

struct ChildRun {
  std::string standard_input = "/dev/null";  // a file to read from
  bool close_standard_input = false;         // start the body with descriptor 0 closed
  std::string standard_output;               // a file to write to; empty: captured
};

// Forks, sets up the child's standard streams, runs `body` there and ends
// the child with status 0 if the body returns. The child keeps the parent's
// current directory. Returns how the child ended and what it printed.
ProgramResult run_in_child(const std::function<void()>& body, const ChildRun& run = {});

}  // namespace test_support
