#include "study/run/time_estimate.hpp"

#include <algorithm>

#include "analysis/text/text_format.hpp"

namespace study {

double done_share(const analysis::SuiteProgram& program, int steps) {
  const std::span<const std::int32_t> lengths = program.result_layout().rows;
  const int total = program.progress_steps();
  if (lengths.empty() || total <= 0) return 0.0;
  // Each row of the tables is an equal run of consecutive steps.
  const int per_row = std::max<int>(total / static_cast<int>(lengths.size()), 1);
  double done = 0.0, all = 0.0;
  for (int step = 0; step < total; ++step) {
    const std::size_t row = std::min<std::size_t>(static_cast<std::size_t>(step / per_row), lengths.size() - 1);
    const double weight = std::max<double>(lengths[row], 1.0);
    all += weight;
    if (step < steps) done += weight;
  }
  return all > 0 ? done / all : 0.0;
}

void TimeEstimate::start_run() { current_.clear(); }

void TimeEstimate::note_step(int steps, double elapsed) {
  if (steps < 0) return;
  const auto step = static_cast<std::size_t>(steps);
  if (current_.size() <= step) current_.resize(step + 1, -1.0);
  if (current_[step] < 0) current_[step] = elapsed;
}

void TimeEstimate::note_run(const analysis::SuiteProgram& program, double seconds) {
  runs_[std::string(program.name())] = Timeline{seconds, std::move(current_)};
  current_.clear();
}

std::optional<double> TimeEstimate::whole_run(const analysis::SuiteProgram& program) const {
  const auto found = runs_.find(program.name());
  if (found == runs_.end()) return std::nullopt;
  return found->second.whole;
}

std::optional<double> TimeEstimate::rest_of_run(const analysis::SuiteProgram& program, int steps,
                                                double elapsed) const {
  const auto found = runs_.find(program.name());
  if (found != runs_.end()) {
    const Timeline& previous = found->second;
    const auto step = static_cast<std::size_t>(std::max(steps, 0));
    if (step < previous.at_step.size() && previous.at_step[step] >= 0) {
      return std::max(previous.whole - previous.at_step[step], 0.0);
    }
    return std::max(previous.whole * (1.0 - done_share(program, steps)), 0.0);
  }
  const double share = done_share(program, steps);
  if (share <= 0.0) return std::nullopt;
  return elapsed * (1.0 - share) / share;
}

std::string time_left_text(double known_seconds, bool some_unknown) {
  return (some_unknown ? "at least " : "about ") + analysis::clock_text(known_seconds) + " left";
}

}  // namespace study
