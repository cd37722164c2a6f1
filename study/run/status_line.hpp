// The live line of the running program: a progress bar, the steps done and
// the elapsed time, redrawn in place on a terminal and printed once per
// step otherwise.
#pragma once

#include <string_view>

#include "analysis/programs/suite_programs.hpp"

namespace study {

class StatusLine {
 public:
  explicit StatusLine(bool terminal) : terminal_(terminal) {}

  // With `ending` ("done", "FAILED: ...") the line is final. `note` follows
  // the clock: the repeat and the time the study has left.
  void show(const analysis::SuiteProgram& program, int steps, double elapsed, std::string_view ending = {},
            std::string_view note = {});

 private:
  bool terminal_;
  int last_steps_ = -1;
};

}  // namespace study
