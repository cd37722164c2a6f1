// The work behind a study's times: each program's first complete run, its
// data drawn again from the run's recorded seed through the program's own
// draws, sorted by the same kernels with a counting element. Writes
// <program>/counts.csv and the work charts, and shows its progress.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "analysis/records/run_model.hpp"
#include "analysis/statistics/cell_work.hpp"
#include "analysis/verdicts/program_answers.hpp"
#include "study/model/study_run.hpp"

namespace study {

struct ExplainedWork {
  std::vector<analysis::ProgramWork> programs;
  std::vector<WorkCharts> charts;
  std::vector<std::string> failures;  // a replay that failed, a file not written
  double seconds = 0;
};

// The programs of `model` the suite knows, each on its first complete run.
ExplainedWork explain_work(const std::filesystem::path& run_folder, const analysis::RunModel& model);

// Adds each program's why and work table to its answer.
void add_work_to_answers(std::vector<analysis::ProgramAnswer>& answers, const analysis::RunModel& model,
                         const ExplainedWork& work);

// `study explain RUN_FOLDER`: the work of a study already made, into its
// folder: every counts.csv, the work charts, explain.txt (the answers with
// their why) and results.json with the counts. Returns the exit status: 0,
// or 1 when the folder cannot be read or something could not be written.
int explain_study_folder(const std::filesystem::path& run_folder, const std::string& study_executable);

}  // namespace study
