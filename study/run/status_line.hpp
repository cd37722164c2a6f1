// The live line of the running program: a progress bar of the share of its
// time done, the steps done and the elapsed time, redrawn in place on a
// terminal and printed once per step otherwise.
#pragma once

#include <string_view>

#include "analysis/programs/suite_programs.hpp"

namespace study {

class StatusLine {
 public:
  explicit StatusLine(bool terminal) : terminal_(terminal) {}

  // `share` is the share of the run's time done; the bar is full only once
  // every step is, and never shrinks while the run goes on. With `ending`
  // ("done", "FAILED: ...") the line is final. `note` follows the clock: the
  // repeat and the time the study has left.
  void show(const analysis::SuiteProgram& program, int steps, double elapsed, double share,
            std::string_view ending = {}, std::string_view note = {});

 private:
  bool terminal_;
  int last_steps_ = -1;
  int last_filled_ = 0;
};

}  // namespace study
