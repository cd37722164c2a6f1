// The time a study has left, from the expected cost of each program's
// steps: a step costs in proportion to the length of the arrays it sorts
// (the last steps of tallygrid and of the cutoff programs cost most), and
// a whole run of a program costs what its previous repeat took.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "study/suite_programs.hpp"

namespace study {

// The share of a run's cost done once `steps` of its steps are done.
double done_share(const SuiteProgram& program, int steps);

class TimeEstimate {
 public:
  // A finished run of `program` and its wall time.
  void note_run(const SuiteProgram& program, double seconds);

  // What a whole run of `program` will take, once one has been seen.
  std::optional<double> whole_run(const SuiteProgram& program) const;

  // What the running program still needs: from its previous repeat, or
  // from its own pace so far; nullopt before either is known.
  std::optional<double> rest_of_run(const SuiteProgram& program, int steps, double elapsed) const;

 private:
  std::map<std::string, double, std::less<>> seconds_;
};

// "about 1:23.0 left", or "at least 1:23.0 left" when some runs' cost is not
// known yet; empty when nothing is known.
std::string time_left_text(double known_seconds, bool some_unknown);

}  // namespace study
