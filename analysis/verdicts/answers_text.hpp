// The programs' answers as summary.txt shows them: first an "Answers" block
// of one sentence per program, then per program its question, its basis,
// its table and what is still open; no line longer than kSummaryWidth.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "analysis/verdicts/program_answers.hpp"

namespace analysis {

inline constexpr std::size_t kSummaryWidth = 120;

std::string answers_text(const std::vector<ProgramAnswer>& answers);

// "n = 10: ISORT against SSORT (about 7 runs); ...", what is still open.
std::string open_questions_text(const ProgramAnswer& answer);

}  // namespace analysis
