// The summary of a study run (console and summary.txt): one row per program
// with its status, wall time, peak memory, the sum of its time cells and the
// overhead, then one line per failure.
#pragma once

#include <string>

#include "study/run/study_run.hpp"

namespace study {

// The figures of one row, as text; "-" where the program gave none, and a
// peak memory the system could not tell "unknown".
struct SummaryRow {
  std::string program, status, wall, memory, cells, overhead;
};

SummaryRow summary_row(const ProgramRun& run);

// The table, the failures, the warnings and then the verdicts.
std::string summary_text(const StudyRun& study);

// The summary without its verdicts, for pages that show them on their own.
std::string summary_table_text(const StudyRun& study);

// The verdicts from the precise records and the runs they leave out.
std::string verdict_text(const StudyRun& study);

}  // namespace study
