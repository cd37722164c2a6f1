#include "analysis/verdicts/answers_text.hpp"

#include <fmt/format.h>

#include "analysis/text/text_table.hpp"

namespace analysis {

std::string open_questions_text(const ProgramAnswer& answer) {
  std::vector<std::string> items;
  for (const OpenQuestion& open : answer.open) {
    items.push_back(fmt::format("{} ({})", open.what, runs_needed_text(open.runs_needed)));
  }
  return fmt::format("{}", fmt::join(items, "; "));
}

std::string answers_text(const std::vector<ProgramAnswer>& answers) {
  if (answers.empty()) return {};
  std::string text = "Answers\n";
  for (const ProgramAnswer& answer : answers) {
    text += wrapped(answer.program + ": " + answer.answer, kSummaryWidth, "  ", "    ");
  }
  for (const ProgramAnswer& answer : answers) {
    text += "\n" + wrapped(answer.program + (answer.question.empty() ? "" : ": " + answer.question), kSummaryWidth);
    if (!answer.basis.empty()) text += wrapped(answer.basis + ".", kSummaryWidth, "  ", "  ");
    if (!answer.table.rows.empty()) {
      text += aligned_table(answer.table.header, answer.table.rows, answer.table.numeric, "  ");
      text += wrapped(answer.legend + ".", kSummaryWidth, "  ", "  ");
    }
    if (!answer.open.empty()) {
      text += wrapped(fmt::format("Still open, with about how many runs in all would decide each: {}.",
                                  open_questions_text(answer)),
                      kSummaryWidth, "  ", "  ");
    }
    if (!answer.left_out.empty()) {
      text += wrapped(fmt::format("Incomplete and left out: {}.", fmt::join(answer.left_out, ", ")), kSummaryWidth,
                      "  ", "  ");
    }
  }
  return text;
}

}  // namespace analysis
