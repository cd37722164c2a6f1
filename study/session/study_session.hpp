// One run of the study from its first page to its closing report. It keeps
// the run as a value (StudyRun) that every page and summary is made from,
// and it handles each program's results on their own: a failure of the
// study's own writing marks that program's results incomplete and the
// study goes on.
#pragma once

#include <filesystem>

#include "analysis/records/run_model.hpp"
#include "analysis/statistics/decision.hpp"
#include "study/os/interrupts.hpp"
#include "study/os/study_lock.hpp"
#include "study/run/machine_hygiene.hpp"
#include "study/run/status_line.hpp"
#include "study/run/study_run.hpp"
#include "study/run/time_estimate.hpp"
#include "study/session/session_options.hpp"

namespace study {

class StudySession {
 public:
  // Makes the run folder, records the context and writes the first pages.
  // Throws ToolError when there is no run folder to work in.
  explicit StudySession(const StudyOptions& options);

  // Runs the selected programs one after another, repeat after repeat
  // (A B C A B C), until all have run or the user stops the study.
  void run_programs();

  // Reads the records of every run into results.json, results.csv and the
  // verdicts, writes the final summary and index.html (or says why it cannot), prints
  // the summary, and returns the exit status: 0 when every program's results
  // are complete, 130 after Ctrl-C, else 1.
  int finish();

 private:
  void run_program(ProgramRun& run);
  // With --until-decided: plans the next round, one run of each program
  // with a verdict that more runs could decide, unless there is none or the
  // round would pass the budget; says why it stops.
  bool plan_next_round();
  // The look at the data this is: every round of a study run until decided
  // is one, and spends its share of the error rate.
  analysis::Look look() const;
  void start_program(ProgramRun& run, const std::filesystem::path& executable);
  void collect_results(ProgramRun& run, const std::filesystem::path& folder);
  std::string progress_note(const ProgramRun& run, int steps, double elapsed) const;
  void analyse_records();
  // Over two or more complete runs of a program, its charts of the medians.
  void write_median_charts(const analysis::RunModel& model);
  // After each program; the pages of the finished run report their own failures.
  void write_pages(bool final);
  bool write_page(const std::filesystem::path& path, const std::string& content, bool final);
  // context.txt, rewritten as the load around each program joins it.
  void write_context();
  // Says each warning now and keeps it for the summary and the page.
  void warn(std::vector<std::string> warnings);
  // Each program's last complete run, for the next study's estimate (run_timings.hpp).
  void write_timings();

  StudyOptions options_;
  os::InterruptWatch interrupts_;
  bool terminal_;  // standard output is a terminal: the status line is redrawn in place
  StatusLine status_;
  // Planned before the run folder is made, so a refused replay leaves none.
  std::vector<ProgramRun> plan_;
  std::filesystem::path run_folder_;
  StudyRun study_;
  TimeEstimate estimate_;
  std::string summary_;
  bool pages_written_ = true;
  int rounds_ = 1;
  // Held for the whole study, so that studies run at once see each other.
  os::StudyLock lock_{os::study_lock_folder()};
  MachineHygiene hygiene_{MachineHygiene::system_sources(lock_)};
};

}  // namespace study
