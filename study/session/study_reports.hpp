// The reporters: each writes one of a study's files from its model, the
// StudyRun and the records read once, and never from the programs while
// they run. A file the study cannot write is said, and the rest goes on.
#pragma once

#include <filesystem>
#include <string>

#include "analysis/records/run_model.hpp"
#include "analysis/statistics/cell_work.hpp"
#include "study/estimate/run_timings.hpp"
#include "study/model/study_run.hpp"

namespace study {

class StudyReports {
 public:
  explicit StudyReports(std::filesystem::path run_folder) : run_folder_(std::move(run_folder)) {}

  // context.txt, rewritten as the load around each program joins it.
  void write_context(const StudyRun& study);
  // summary.txt and index.html: after each program, and once more when the
  // study is finished, when a page that cannot be written is said.
  void write_pages(const StudyRun& study, bool final);
  // results.json, results.csv and, over two or more complete runs of a
  // program, its charts of the medians; their failures join the study's.
  // `work`: the programs whose work was counted, for results.json's counters.
  void write_exports(StudyRun& study, const analysis::RunModel& model, const std::string& study_executable,
                     const std::vector<analysis::ProgramWork>& work = {});
  // Each program's last complete run, for the next study's estimate.
  void write_timings(const Timelines& runs);

  const std::string& summary() const { return summary_; }
  // False once a page of the run could not be written.
  bool pages_written() const { return pages_written_; }

 private:
  bool write_page(const std::filesystem::path& path, const std::string& content, bool final);
  void write_median_charts(StudyRun& study, const analysis::RunModel& model);

  std::filesystem::path run_folder_;
  std::string summary_;
  bool pages_written_ = true;
};

}  // namespace study
