#include "analysis/verdicts/answers_text.hpp"

#include <fmt/format.h>

#include "analysis/text/text_table.hpp"

namespace analysis {

std::vector<std::string> open_question_lines(const ProgramAnswer& answer) {
  std::vector<std::string> lines;
  for (const std::string& row : answer.open_rows()) {
    std::vector<std::string> items;
    for (const OpenQuestion& open : answer.open) {
      if (open.where == row) {
        items.push_back(fmt::format("{} ({}{})", open.what, open.disturbed ? "disturbed; " : "",
                                    runs_needed_text(open.runs_needed)));
      }
    }
    lines.push_back(fmt::format("{}: {}", row, fmt::join(items, ", ")));
  }
  return lines;
}

std::string answers_text(const std::vector<ProgramAnswer>& answers) {
  if (answers.empty()) return {};
  std::string text = "Answers\n";
  for (const ProgramAnswer& answer : answers) {
    text += wrapped(answer.program + ": " + answer.answer, kSummaryWidth, "  ", "    ");
    if (!answer.why.empty()) text += wrapped("Why: " + answer.why, kSummaryWidth, "    ", "      ");
  }
  for (const ProgramAnswer& answer : answers) {
    text += "\n" + wrapped(answer.program + (answer.question.empty() ? "" : ": " + answer.question), kSummaryWidth);
    if (!answer.basis.empty()) text += wrapped(answer.basis + ".", kSummaryWidth, "  ", "  ");
    if (!answer.table.rows.empty()) {
      text += aligned_table(answer.table.header, answer.table.rows, answer.table.numeric, "  ");
      text += wrapped(answer.legend + ".", kSummaryWidth, "  ", "  ");
    }
    // Too wide for the summary: the page shows it, counts.csv holds every cell.
    if (!answer.work_table.rows.empty()) {
      text += wrapped("The work counted in every cell: " + answer.program + "/counts.csv.", kSummaryWidth, "  ", "  ");
    }
    if (!answer.open.empty()) {
      text += "  " + std::string(kOpenQuestionsLead) + "\n";
      for (const std::string& line : open_question_lines(answer))
        text += wrapped(line, kSummaryWidth, "    ", "      ");
    }
    if (!answer.left_out.empty()) {
      text += wrapped(fmt::format("Incomplete and left out: {}.", fmt::join(answer.left_out, ", ")), kSummaryWidth,
                      "  ", "  ");
    }
  }
  return text;
}

}  // namespace analysis
