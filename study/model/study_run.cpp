#include "study/model/study_run.hpp"

#include <fmt/format.h>

#include <string>
#include <vector>

namespace study {

std::string repeat_note(const ProgramRun& run) {
  if (!run.repeats) return fmt::format("round {}", run.repeat);
  return *run.repeats > 1 ? fmt::format("repeat {}/{}", run.repeat, *run.repeats) : std::string();
}

std::string_view state_word(const ProgramRun& run) {
  switch (run.state) {
    case ProgramState::not_started:
      return "not started";
    case ProgramState::refused:
      return "refused";
    case ProgramState::missing:
      return "missing";
    case ProgramState::completed:
      return run.study_failures.empty() ? "complete" : "incomplete";
    case ProgramState::failed:
      return "failed";
    case ProgramState::stopped:
      return "stopped";
  }
  return "";
}

std::string programs_in_state(const StudyRun& study, std::string_view word) {
  std::vector<std::string> names;
  for (const ProgramRun& run : study.programs) {
    if (state_word(run) == word) names.push_back(run.label());
  }
  return names.empty() ? "none" : fmt::format("{}", fmt::join(names, ", "));
}

}  // namespace study
