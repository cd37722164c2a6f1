// The time a study has left. Each program's steps have a cost model
// (step_costs.hpp) whose two parts are scaled to the seconds this run's
// steps took so far, and a complete earlier run of the same program (the
// previous repeat, else an earlier study's) is followed step by step at
// the pace the current run keeps. Early in a run the earlier run counts
// most, later the run's own steps.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/programs/suite_programs.hpp"
#include "study/estimate/step_costs.hpp"

namespace study {

// When each step of one run was done.
struct Timeline {
  double whole = 0;             // the wall time of the run
  std::vector<double> at_step;  // at_step[s]: seconds into the run when s steps were done; < 0 unseen
};

using Timelines = std::map<std::string, Timeline, std::less<>>;

class TimeEstimate {
 public:
  // A complete run of `program` in an earlier study; a run in this study replaces it.
  void note_earlier_run(const analysis::SuiteProgram& program, Timeline timeline);
  // A run begins: the steps noted from now on are its own.
  void start_run();
  // The running program has done `steps` steps after `elapsed` seconds.
  void note_step(int steps, double elapsed);
  // The running program ended cleanly after `seconds`: its steps are kept for its next run.
  void note_run(const analysis::SuiteProgram& program, double seconds);

  // What a whole run of `program` takes, once one has been seen.
  std::optional<double> whole_run(const analysis::SuiteProgram& program) const;

  // What a whole run of `program`, never seen, should take: its cost model
  // at the pace of everything this study has timed so far, the complete
  // runs and `running` up to `steps` steps after `elapsed` seconds; nullopt
  // before any step is done.
  std::optional<double> modelled_run(const analysis::SuiteProgram& program, const analysis::SuiteProgram& running,
                                     int steps, double elapsed) const;

  // What the running program still needs after `steps` steps and `elapsed`
  // seconds; nullopt before any step is done, unless an earlier run is known.
  std::optional<double> rest_of_run(const analysis::SuiteProgram& program, int steps, double elapsed) const;

  // The share of the running program's time that is done: from its time
  // left when that is known, else from the model's costs.
  double time_share(const analysis::SuiteProgram& program, int steps, double elapsed) const;

  // The complete runs seen in this study, the last of each program, every step's time filled in.
  const Timelines& runs_seen() const { return runs_; }

 private:
  const Timeline* earlier_run(std::string_view program) const;

  std::vector<double> current_;
  Timelines runs_;     // this study's
  Timelines earlier_;  // earlier studies'
};

// How far a run the cost model alone foresees may stray from it: the
// programs' sorts and data weigh differently on another machine's caches
// and clock than on the reference machine the costs were set on.
inline constexpr double kModelledSpread = 0.2;

// The time a study has left: "about 1:23.0 left"; with `modelled` seconds
// of it from the cost model alone, "about 1:23.0 left (±0:10.0)"; "at least
// 1:23.0 left" when some runs' cost is not known at all yet.
std::string time_left_text(double known_seconds, bool some_unknown, double modelled = 0);

}  // namespace study
