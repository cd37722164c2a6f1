// The executor: runs the planned programs one at a time. It checks that a
// program is there and fits in memory, starts it with its record and seed,
// shows its progress and the time the study has left, watches the machine
// around it and reads back what it left, all into the program's ProgramRun.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "study/estimate/time_estimate.hpp"
#include "study/model/study_run.hpp"
#include "study/os/interrupts.hpp"
#include "study/run/machine_hygiene.hpp"
#include "study/run/status_line.hpp"
#include "study/session/session_options.hpp"

namespace study {

class ProgramExecutor {
 public:
  ProgramExecutor(const StudyOptions& options, std::filesystem::path run_folder, os::InterruptWatch& interrupts,
                  MachineHygiene& hygiene, TimeEstimate& estimate);

  // Runs `run`, one of study.programs; the warnings it raises join study.warnings.
  void run(ProgramRun& run, StudyRun& study);

 private:
  void start(ProgramRun& run, StudyRun& study, const std::filesystem::path& executable);
  void collect_results(ProgramRun& run, const std::filesystem::path& folder);
  std::string progress_note(const ProgramRun& run, const StudyRun& study, int steps, double elapsed) const;

  const StudyOptions& options_;
  std::filesystem::path run_folder_;
  os::InterruptWatch& interrupts_;
  MachineHygiene& hygiene_;
  TimeEstimate& estimate_;
  bool terminal_;  // standard output is a terminal: the status line is redrawn in place
  // The waits for the machine to settle before each program so far: a busy
  // machine keeps the programs still to run waiting about as long.
  double settle_seconds_ = 0;
  int settles_ = 0;
  StatusLine status_;
};

// Says each warning now and keeps it for the summary and the page.
void warn(StudyRun& study, std::vector<std::string> warnings);

}  // namespace study
