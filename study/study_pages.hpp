// What the study shows at the end: the summary table (console and
// summary.txt) and index.html, the run folder's page for a browser.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "study/study_environment.hpp"
#include "study/suite_programs.hpp"

namespace study {

enum class ProgramState { not_started, refused, missing, completed, failed, stopped };

struct ProgramReport {
  const SuiteProgram* program = nullptr;
  ProgramState state = ProgramState::not_started;
  std::string status;  // "0", "exit 5", "signal 9", "refused", ...
  std::string detail;  // the runtime error line, the refusal, the unreadable results
  double wall_seconds = 0;
  std::int64_t peak_resident_bytes = 0;
  std::optional<std::int64_t> cell_hundredths;  // sum of the time cells of its results file
  int steps = 0;
  std::vector<std::string> charts;  // file names inside the program's folder
  std::string csv;                  // file name of the CSV, when written
  std::string results_text;         // "vystup.out" as written
};

// "1:02:03.4" or "2:03.4"
std::string clock_text(double seconds);

// The summary table, one row per program, and the detail lines below it.
std::string summary_text(const std::vector<ProgramReport>& reports);

struct IndexPage {
  std::string run_name;
  Context context;
  std::vector<std::string> warnings;
  std::vector<ProgramReport> reports;
  std::string summary;
  bool interrupted = false;
  bool finished = false;  // false while programs are still to run
};

std::string index_html(const IndexPage& page);

}  // namespace study
