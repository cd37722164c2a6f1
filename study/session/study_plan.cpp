#include "study/session/study_plan.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <map>

#include "analysis/text/text_format.hpp"
#include "analysis/verdicts/program_answers.hpp"
#include "study/model/record_file.hpp"
#include "study/model/repeat_folders.hpp"
#include "study/model/run_folder_layout.hpp"
#include "study/os/tool_error.hpp"

namespace study {
namespace {

ProgramRun planned_run(const analysis::SuiteProgram* program, int repeat, std::optional<int> repeats) {
  ProgramRun run;
  run.program = program;
  run.repeat = repeat;
  run.repeats = repeats;
  // With forward slashes on every system: it names the folder on the page too.
  run.folder = repeat_folder(program->name, repeat, repeats).generic_string();
  return run;
}

// The seeds a replayed run recorded for `program`, in repeat order.
std::vector<std::uint32_t> replayed_seeds(const std::filesystem::path& replay, std::string_view program) {
  std::vector<std::uint32_t> seeds;
  for (const std::filesystem::path& folder : recorded_repeat_folders(replay, program)) {
    const std::optional<analysis::RecordedRun> record = read_record(folder / run_files::kRecordFile, 1);
    if (!record || record->measurements.empty()) {
      throw ToolError(fmt::format("cannot replay {}: it holds no record of a run", folder.string()));
    }
    seeds.push_back(record->seed);
  }
  if (seeds.empty()) throw ToolError(fmt::format("cannot replay: {} holds no record of {}", replay.string(), program));
  return seeds;
}

}  // namespace

std::vector<ProgramRun> planned_runs(const StudyOptions& options) {
  std::vector<std::vector<std::uint32_t>> seeds(options.selected.size(), options.seeds);
  int repeats = options.repeats.value_or(1);
  if (!options.replay.empty()) {
    for (std::size_t i = 0; i < options.selected.size(); ++i) {
      seeds[i] = replayed_seeds(options.replay, options.selected[i]->name);
      if (!options.repeats) repeats = std::max(repeats, static_cast<int>(seeds[i].size()));
    }
    for (std::size_t i = 0; i < options.selected.size(); ++i) {
      if (seeds[i].size() < static_cast<std::size_t>(repeats)) {
        throw ToolError(fmt::format("cannot replay {} repeats of {}: {} holds {}", repeats, options.selected[i]->name,
                                    options.replay.string(), seeds[i].size()));
      }
    }
  }
  // Until decided, every program runs once first, in a folder of its first
  // round: later rounds follow as the verdicts ask.
  const std::optional<int> planned = options.until_decided ? std::nullopt : std::optional<int>(repeats);
  std::vector<ProgramRun> runs;
  for (int repeat = 1; repeat <= planned.value_or(1); ++repeat) {
    for (std::size_t i = 0; i < options.selected.size(); ++i) {
      ProgramRun run = planned_run(options.selected[i], repeat, planned);
      if (!seeds[i].empty()) run.seed = seeds[i][static_cast<std::size_t>(repeat - 1)];
      runs.push_back(std::move(run));
    }
  }
  return runs;
}

NextRound next_round(const StudyOptions& options, const std::vector<ProgramRun>& done, const analysis::RunModel& model,
                     int rounds) {
  double spent = 0.0, next_round = 0.0;
  std::map<const analysis::SuiteProgram*, double> last_wall;
  for (const ProgramRun& run : done) {
    spent += run.wall_seconds;
    last_wall[run.program] = run.wall_seconds;
  }
  NextRound round;
  std::vector<std::string_view> open;
  for (const analysis::SuiteProgram* program : options.selected) {
    const analysis::ProgramGrid* grid = model.program(program->name);
    if (grid == nullptr) continue;  // no complete run to add to
    const analysis::ProgramAnswer answer = analysis::program_answer(*grid, look_after(options, rounds));
    // Only what more runs could decide within reach is worth a run.
    const bool worth = std::any_of(answer.open.begin(), answer.open.end(), [&](const analysis::OpenQuestion& q) {
      return q.runs_needed && *q.runs_needed <= analysis::kMostRunsWorthAsking;
    });
    if (!worth) continue;
    round.runs.push_back(planned_run(program, rounds + 1, std::nullopt));
    open.push_back(program->name);
    next_round += last_wall[program];
  }
  const std::string after = fmt::format("after {} round{}", rounds, rounds == 1 ? "" : "s");
  if (round.runs.empty()) {
    round.stop = after + ", every verdict is decided or beyond what more runs could decide";
  } else if (spent + next_round > options.budget_seconds) {
    round.stop = fmt::format("{}, another round ({}) would pass the budget of {}", after, fmt::join(open, ", "),
                             analysis::clock_text(options.budget_seconds));
    round.runs.clear();
  }
  return round;
}

analysis::Look look_after(const StudyOptions& options, int rounds) {
  return options.until_decided ? analysis::Look{rounds} : analysis::Look{};
}

}  // namespace study
