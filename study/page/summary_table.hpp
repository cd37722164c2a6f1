// The summary of a study run (console and summary.txt): one row per program
// with its status, wall time, peak memory, the sum of its time cells and the
// overhead, then one line per failure.
#pragma once

#include <string>
#include <vector>

#include "study/model/study_run.hpp"

namespace study {

// The figures of one row, as text; "-" where the program gave none, and a
// peak memory the system could not tell "unknown".
struct SummaryRow {
  std::string program, status, wall, memory, cells, overhead;
};

SummaryRow summary_row(const ProgramRun& run);

// The table, the failures, the warnings and then the answers; a line longer
// than analysis::kSummaryWidth is wrapped, its words all kept.
std::string summary_text(const StudyRun& study);

// The summary without its answers: the table, then its notes.
std::string summary_table_text(const StudyRun& study);

// What the table leaves to words, one line each: each program's failure or
// the study's own with its files, what the columns mean, and why a peak
// memory is unknown.
std::vector<std::string> summary_notes(const StudyRun& study);

// The programs' answers from the precise records and the runs they leave out.
std::string verdict_text(const StudyRun& study);

}  // namespace study
