#include "analysis/verdicts/program_answers.hpp"

#include <fmt/format.h>

#include <algorithm>

#include "analysis/verdicts/answer_parts.hpp"

namespace analysis {

std::vector<std::string> ProgramAnswer::open_rows() const {
  std::vector<std::string> rows;
  for (const OpenQuestion& question : open) {
    if (std::find(rows.begin(), rows.end(), question.where) == rows.end()) rows.push_back(question.where);
  }
  return rows;
}

std::string runs_needed_text(const std::optional<std::size_t>& runs) {
  if (!runs) return fmt::format("more than {} runs", kMostRunsWorthAsking);
  return fmt::format("about {} runs", *runs);
}

ProgramAnswer program_answer(const ProgramGrid& grid, Look look) {
  ProgramAnswer answer;
  answer.program = grid.program;
  answer.runs = grid.repeats();
  for (const RunSummary& run : grid.incomplete_runs) answer.left_out.push_back(run_description(run));
  if (grid.repeats() == 0) {
    answer.answer = "No complete run.";
    return answer;
  }
  if (grid.facts == nullptr) {
    answer.answer = "A program the suite does not know: no question to answer.";
    return answer;
  }
  if (grid.facts->family == ProgramFamily::small_arrays) {
    answers::rank_small_arrays(grid, look, answer);
  } else if (const answers::Raced raced = answers::raced_series(grid); raced.first != nullptr) {
    const auto answer_of_family = grid.facts->family == ProgramFamily::file_duel   ? answers::race_inputs
                                  : grid.facts->family == ProgramFamily::grid_duel ? answers::race_grid
                                                                                   : answers::weigh_cutoffs;
    answer_of_family(grid, *raced.first, *raced.second, look, answer);
  }
  if (const std::size_t disturbed = grid.disturbed_windows(); disturbed > 0 && !answer.basis.empty()) {
    answer.basis += fmt::format(
        "; {} of {} windows disturbed (off the processor for over {:.0f} % of their time), left out of each "
        "comparison{}",
        disturbed, grid.windows(), 100.0 * kDisturbedShare,
        grid.repeats() == 1 ? ", which then stays undecided" : ", so that N is smaller there");
    answer.legend += fmt::format("; {}: a disturbed window in the cell", answers::kDisturbedMark);
  }
  // A sentence, even when it opens with a sort's name in lower case.
  if (!answer.answer.empty() && answer.answer[0] >= 'a' && answer.answer[0] <= 'z') answer.answer[0] -= 'a' - 'A';
  return answer;
}

std::vector<ProgramAnswer> program_answers(const RunModel& model, Look look) {
  std::vector<ProgramAnswer> answers;
  for (const ProgramGrid& grid : model.programs) answers.push_back(program_answer(grid, look));
  return answers;
}

}  // namespace analysis
