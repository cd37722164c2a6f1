// One run of the study from its first page to its closing report: the
// planner says what runs, the executor runs it, and the reporters write the
// files, all from one model of the run (StudyRun). A failure of the study's
// own writing marks that program's results incomplete and the study goes on.
#pragma once

#include <filesystem>

#include "study/estimate/time_estimate.hpp"
#include "study/model/study_run.hpp"
#include "study/os/interrupts.hpp"
#include "study/os/study_lock.hpp"
#include "study/run/machine_hygiene.hpp"
#include "study/session/program_executor.hpp"
#include "study/session/session_options.hpp"
#include "study/session/study_reports.hpp"

namespace study {

class StudySession {
 public:
  // Plans the runs, makes the run folder, records the context and writes
  // the first pages. Throws ToolError when there is no run folder to work in
  // or the plan cannot be had (a replay without its seeds leaves no folder).
  explicit StudySession(const StudyOptions& options);

  // Runs the planned programs one after another, repeat after repeat
  // (A B C A B C), and with --until-decided round after round, until all
  // have run or the user stops the study.
  void run_programs();

  // Reads the records of every run into the answers and the exports, writes
  // the final summary and index.html (or says why it cannot), prints the
  // summary, and returns the exit status: 0 when every program's results
  // are complete, 130 after Ctrl-C, else 1.
  int finish();

 private:
  // Until decided: adds the next round to the study, or says why there is none.
  bool add_next_round();

  StudyOptions options_;
  os::InterruptWatch interrupts_;
  StudyRun study_;
  std::filesystem::path run_folder_;
  // Held for the whole study, so that studies run at once see each other.
  os::StudyLock lock_{os::study_lock_folder()};
  MachineHygiene hygiene_{MachineHygiene::system_sources(lock_)};
  TimeEstimate estimate_;
  StudyReports reports_;
  ProgramExecutor executor_;
  int rounds_ = 1;
};

}  // namespace study
