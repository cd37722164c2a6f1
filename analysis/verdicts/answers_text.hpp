// The programs' answers as summary.txt shows them: first an "Answers" block
// of one sentence per program, then per program its question, its basis,
// its table and what is still open; no line longer than kSummaryWidth.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/verdicts/program_answers.hpp"

namespace analysis {

inline constexpr std::size_t kSummaryWidth = 120;

std::string answers_text(const std::vector<ProgramAnswer>& answers);

inline constexpr std::string_view kOpenQuestionsLead = "Still open, with about how many runs in all would decide each:";

// What is still open, one line per row of the program's table in the
// table's order: "n = 10: ISORT against SSORT (about 7 runs), QSORT against
// HSORT (more than 100 runs)".
std::vector<std::string> open_question_lines(const ProgramAnswer& answer);

}  // namespace analysis
