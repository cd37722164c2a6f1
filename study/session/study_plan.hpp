// The planner: what a study runs, in what order and in which rounds. It
// decides from the options and, until decided, from the answers so far; it
// starts nothing and writes nothing.
#pragma once

#include <string>
#include <vector>

#include "analysis/records/run_model.hpp"
#include "analysis/statistics/decision.hpp"
#include "study/model/study_run.hpp"
#include "study/session/session_options.hpp"

namespace study {

// Every run of the study in the order they run: repeat after repeat of all
// the programs (A B C A B C), each with its folder and, when chosen, its
// seed; until decided, the first round. Throws ToolError when the replayed
// run cannot give the seeds asked for.
std::vector<ProgramRun> planned_runs(const StudyOptions& options);

// The round after `rounds` rounds of a study run until decided.
struct NextRound {
  std::vector<ProgramRun> runs;  // none when the study stops adding rounds
  std::string stop;              // then: why
};

// One run of each program with a verdict that more runs could decide, unless
// there is none or the round would take the study (`done`, so far) past its
// budget.
NextRound next_round(const StudyOptions& options, const std::vector<ProgramRun>& done, const analysis::RunModel& model,
                     int rounds);

// The look at the data after `rounds` rounds: every round of a study run
// until decided is one, and spends its share of the error rate.
analysis::Look look_after(const StudyOptions& options, int rounds);

}  // namespace study
