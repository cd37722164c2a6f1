#include "analysis/records/measurement.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace analysis {

std::string run_description(const RunSummary& run) {
  return fmt::format("run {} (seed {}, {} window{})", run.repeat, run.seed, run.measurements,
                     run.measurements == 1 ? "" : "s");
}

std::optional<double> lost_share(const Measurement& window) {
  if (!window.cpu_nanoseconds || window.nanoseconds <= 0) return std::nullopt;
  return static_cast<double>(window.nanoseconds - *window.cpu_nanoseconds) / static_cast<double>(window.nanoseconds);
}

bool disturbed(const Measurement& window) {
  const std::optional<double> share = lost_share(window);
  if (!share || *share <= kDisturbedShare) return false;
  if (window.involuntary_switches) return *window.involuntary_switches > 0;
  return window.nanoseconds - *window.cpu_nanoseconds > kSchedulerTickNanoseconds;
}

void MeasurementSet::add(Measurement measurement) {
  if (measurement.program.empty()) throw std::invalid_argument("a measurement without a program name");
  if (measurement.nanoseconds < 0) {
    throw std::invalid_argument(fmt::format("{} run {}: negative time {} ns in {}/{}/{}", measurement.program,
                                            measurement.repeat, measurement.nanoseconds, measurement.table,
                                            measurement.row, measurement.column));
  }
  const auto seed = seeds_.try_emplace(RunKey{measurement.program, measurement.repeat}, measurement.seed).first;
  if (seed->second != measurement.seed) {
    throw std::invalid_argument(fmt::format("{} run {}: seed {} after seed {}", measurement.program, measurement.repeat,
                                            measurement.seed, seed->second));
  }
  if (!windows_.emplace(measurement.program, measurement.repeat, measurement.table, measurement.row, measurement.column)
           .second) {
    throw std::invalid_argument(fmt::format("{} run {}: window {}/{}/{} recorded twice", measurement.program,
                                            measurement.repeat, measurement.table, measurement.row,
                                            measurement.column));
  }
  measurements_.push_back(std::move(measurement));
}

std::vector<std::string> MeasurementSet::programs() const {
  std::vector<std::string> names;
  for (const Measurement& m : measurements_) {
    if (std::find(names.begin(), names.end(), m.program) == names.end()) names.push_back(m.program);
  }
  return names;
}

std::vector<RunSummary> MeasurementSet::runs(std::string_view program) const {
  std::map<int, RunSummary> by_repeat;
  for (const Measurement& m : measurements_) {
    if (m.program != program) continue;
    auto [entry, inserted] = by_repeat.try_emplace(m.repeat, RunSummary{m.program, m.repeat, m.seed, true, 0});
    entry->second.complete = entry->second.complete && m.complete;
    ++entry->second.measurements;
  }
  std::vector<RunSummary> runs;
  for (auto& [repeat, run] : by_repeat) runs.push_back(std::move(run));
  return runs;
}

std::vector<RunSummary> MeasurementSet::incomplete_runs() const {
  std::vector<RunSummary> incomplete;
  for (const std::string& program : programs()) {
    for (RunSummary& run : runs(program)) {
      if (!run.complete) incomplete.push_back(std::move(run));
    }
  }
  return incomplete;
}

}  // namespace analysis
