// The time a study has left, from the expected cost of each program's
// steps: a step costs in proportion to the length of the arrays it sorts
// (the last steps of tallygrid and of the cutoff programs cost most), and
// a whole run of a program costs what its previous repeat took, step by
// step as that repeat took them.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "analysis/programs/suite_programs.hpp"

namespace study {

// The share of a run's cost done once `steps` of its steps are done.
double done_share(const analysis::SuiteProgram& program, int steps);

class TimeEstimate {
 public:
  // A run begins: the steps noted from now on are its own.
  void start_run();
  // The running program has done `steps` steps after `elapsed` seconds.
  void note_step(int steps, double elapsed);
  // A finished run of `program` and its wall time.
  void note_run(const analysis::SuiteProgram& program, double seconds);

  // What a whole run of `program` will take, once one has been seen.
  std::optional<double> whole_run(const analysis::SuiteProgram& program) const;

  // What the running program still needs: from when its previous repeat
  // passed the same step, or from its own pace so far; nullopt before
  // either is known.
  std::optional<double> rest_of_run(const analysis::SuiteProgram& program, int steps, double elapsed) const;

 private:
  struct Timeline {
    double whole = 0;
    std::vector<double> at_step;  // seconds into the run when each step count was first seen; < 0 unseen
  };

  std::vector<double> current_;
  std::map<std::string, Timeline, std::less<>> runs_;
};

// "about 1:23.0 left", or "at least 1:23.0 left" when some runs' cost is not
// known yet; empty when nothing is known.
std::string time_left_text(double known_seconds, bool some_unknown);

}  // namespace study
