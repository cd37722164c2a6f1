// Counts a program's progress lines in its console output, fed in pieces
// as they arrive, and keeps the first runtime error line.
#pragma once

#include <string>
#include <string_view>

#include "analysis/programs/suite_programs.hpp"

namespace study {

class ProgressTracker {
 public:
  explicit ProgressTracker(analysis::ProgramFamily family) : family_(family) {}
  void feed(std::string_view bytes);
  int steps() const { return steps_; }
  const std::string& runtime_error() const { return runtime_error_; }

 private:
  void line(std::string_view text);

  analysis::ProgramFamily family_;
  std::string partial_;
  int steps_ = 0;
  std::string runtime_error_;
};

}  // namespace study
