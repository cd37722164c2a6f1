// study compare-builds BIN_A BIN_B: two builds of the programs timed on the
// same machine time. Round after round, each program runs from A and then
// from B on one seed, so the machine's drift between the rounds falls on
// both builds alike and each round gives a ratio B / A of two runs on the
// same data. The run folder holds each build's runs as a study of its own
// (A/ and B/, each readable by `study compare` and `--replay`), and at its
// top the paired comparison: summary.txt, context.txt with the two
// contexts side by side, and a ratio chart per program.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "analysis/records/run_model.hpp"
#include "study/estimate/time_estimate.hpp"
#include "study/model/study_run.hpp"
#include "study/os/interrupts.hpp"
#include "study/os/study_lock.hpp"
#include "study/run/machine_hygiene.hpp"
#include "study/session/program_executor.hpp"
#include "study/session/session_options.hpp"
#include "study/session/study_reports.hpp"

namespace study {

class BuildComparison {
 public:
  // Plans both builds' rounds, makes the run folder with A/ and B/ in it,
  // records both contexts and writes the first pages. Throws ToolError when
  // there is no run folder to work in. `options.builds` must be set.
  explicit BuildComparison(const StudyOptions& options);

  // Runs the rounds, A then B for each program, until all have run or the
  // user stops them.
  void run_programs();

  // Reads each build's records into its own summary, page and exports,
  // compares the builds round by round, writes and prints the comparison,
  // and returns the exit status: 0 when every run is complete and every
  // program compared, 130 after Ctrl-C, else 1.
  int finish();

 private:
  // One build: its options (its folder of programs), its runs as a study of
  // their own in run folder / A or / B, and the executor that runs them.
  struct Build {
    Build(std::string name, const StudyOptions& options, std::filesystem::path folder, BuildComparison& owner);

    std::string name;  // "A" or "B"
    StudyOptions options;
    std::filesystem::path folder;
    StudyRun study;
    StudyReports reports;
    ProgramExecutor executor;
    analysis::RunModel model;  // once finished
  };

  // The paired comparison's summary, from both builds' models.
  std::string comparison_summary(bool& every_program_compared) const;

  StudyOptions options_;
  os::InterruptWatch interrupts_;
  std::filesystem::path run_folder_;
  os::StudyLock lock_{os::study_lock_folder()};
  MachineHygiene hygiene_{MachineHygiene::system_sources(lock_)};
  TimeEstimate estimate_;
  StudyReports reports_;  // the run folder's own files: the timings for the next estimate
  std::array<std::unique_ptr<Build>, 2> builds_;
  // Every run of both builds in the order they run (A B A B ...), for the
  // executors: their time left counts what both builds still have to run.
  StudyRun queue_;
  std::vector<std::pair<Build*, std::size_t>> order_;  // per run of queue_: its build and its index there
};

}  // namespace study
