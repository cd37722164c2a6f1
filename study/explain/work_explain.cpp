#include "study/explain/work_explain.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <variant>

#include "analysis/export/benchmark_json.hpp"
#include "analysis/export/work_csv.hpp"
#include "analysis/text/text_format.hpp"
#include "analysis/verdicts/answers_text.hpp"
#include "analysis/verdicts/work_answers.hpp"
#include "cutoff/cutoff_work.hpp"
#include "quickvscount/duel_work.hpp"
#include "smallarrays/small_array_work.hpp"
#include "study/charts/work_charts.hpp"
#include "study/model/build_context.hpp"
#include "study/model/run_folder_layout.hpp"
#include "study/model/run_folder_records.hpp"
#include "study/os/console.hpp"
#include "study/os/output_files.hpp"
#include "study/os/tool_console.hpp"
#include "study/os/tool_error.hpp"

namespace study {
namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The replay's live line: redrawn in place on a terminal, else left out.
class WorkProgress {
 public:
  WorkProgress(std::string_view program, bool terminal) : program_(program), terminal_(terminal) {}

  void show(std::size_t done, std::size_t cells) {
    if (!terminal_) return;
    say(fmt::format("\r  {}: {} of {} cells counted, {}", program_, done, cells,
                    analysis::clock_text(seconds_since(start_))));
  }
  double finish(std::size_t cells) {
    const double seconds = seconds_since(start_);
    say(fmt::format("{}  {}: {} cells counted in {}\n", terminal_ ? "\r" : "", program_, cells,
                    analysis::clock_text(seconds)));
    return seconds;
  }

 private:
  std::string program_;
  bool terminal_;
  Clock::time_point start_ = Clock::now();
};

// The replay of one program's run. The arrays the program itself obtains
// bound the memory the counting may take at once.
std::vector<kit::CellWork> replay(const analysis::SuiteProgram& program, std::uint32_t seed,
                                  const kit::ReplayProgress& progress) {
  const std::int64_t memory = program.array_bytes;
  return std::visit(
      [&](const auto* parameters) -> std::vector<kit::CellWork> {
        using Parameters = std::remove_cvref_t<decltype(*parameters)>;
        if constexpr (std::is_same_v<Parameters, smallarrays::SmallArrayProgram>) {
          return smallarrays::replay_small_array_work(*parameters, seed, smallarrays::study_sample(*parameters),
                                                      progress);
        } else if constexpr (std::is_same_v<Parameters, quickvscount::FileDuelProgram>) {
          return quickvscount::replay_file_duel_work(*parameters, seed, memory, progress);
        } else if constexpr (std::is_same_v<Parameters, quickvscount::GridDuelProgram>) {
          return quickvscount::replay_grid_duel_work(*parameters, seed, memory, progress);
        } else {
          return cutoff::replay_cutoff_work(*parameters, seed, memory, progress);
        }
      },
      program.parameters);
}

}  // namespace

ExplainedWork explain_work(const std::filesystem::path& run_folder, const analysis::RunModel& model) {
  ExplainedWork explained;
  const Clock::time_point start = Clock::now();
  const bool terminal = os::standard_output_is_terminal();
  for (const analysis::ProgramGrid& grid : model.programs) {
    if (grid.facts == nullptr || grid.complete_runs.empty()) continue;
    const analysis::RunSummary& run = grid.complete_runs.front();
    say(fmt::format("study: counting the work of {} on the data of repeat {} (seed {})\n", grid.program, run.repeat,
                    run.seed));
    WorkProgress progress(grid.program, terminal);
    try {
      std::vector<kit::CellWork> cells =
          replay(*grid.facts, run.seed, [&](std::size_t done, std::size_t all) { progress.show(done, all); });
      const std::size_t count = cells.size();
      analysis::ProgramWork work = analysis::label_work(*grid.facts, run.repeat, run.seed, std::move(cells));
      work.seconds = progress.finish(count);
      write_file_atomically(run_folder / grid.program / run_files::kCountsFile, analysis::work_csv(work, &grid));
      WorkCharts charts{grid.program, {}};
      for (const ChartFile& chart : work_charts(grid, work, run_files::kWorkChartStem)) {
        const std::filesystem::path relative = std::filesystem::path(grid.program) / chart.file_name;
        write_file_atomically(run_folder / relative, chart.content);
        charts.charts.push_back(relative.generic_string());
      }
      explained.charts.push_back(std::move(charts));
      explained.programs.push_back(std::move(work));
    } catch (const ToolError& error) {
      explained.failures.push_back(error.what());
    } catch (const std::exception& error) {
      // A replay that meets other data than the run's, or a fault of the
      // counting code, costs this program's counts and no more.
      explained.failures.push_back(fmt::format("cannot count the work of {}: {}", grid.program, error.what()));
    }
  }
  explained.seconds = seconds_since(start);
  return explained;
}

void add_work_to_answers(std::vector<analysis::ProgramAnswer>& answers, const analysis::RunModel& model,
                         const ExplainedWork& work) {
  for (analysis::ProgramAnswer& answer : answers) {
    const analysis::ProgramGrid* grid = model.program(answer.program);
    const auto counted = std::ranges::find(work.programs, answer.program, &analysis::ProgramWork::program);
    if (grid != nullptr && counted != work.programs.end()) analysis::add_work(answer, *grid, *counted);
  }
}

int explain_study_folder(const std::filesystem::path& run_folder, const std::string& study_executable) {
  try {
    std::error_code error;
    if (!std::filesystem::is_directory(run_folder, error)) {
      throw ToolError(fmt::format("there is no run folder {}", run_folder.string()));
    }
    const Context context = read_context(run_folder);
    const analysis::RunModel model = analysis::run_model(read_run_folder(run_folder), calibrated_spread(context));
    if (model.empty()) throw ToolError(fmt::format("{} holds no record of a run", run_folder.string()));
    const ExplainedWork work = explain_work(run_folder, model);
    std::vector<analysis::ProgramAnswer> answers = analysis::program_answers(model);
    add_work_to_answers(answers, model, work);
    std::vector<std::string> failures = work.failures;
    const auto write = [&](const char* name, const std::string& content) {
      try {
        write_file_atomically(run_folder / name, content);
      } catch (const ToolError& error) {
        failures.push_back(error.what());
      }
    };
    const std::string text = analysis::answers_text(answers);
    write(run_files::kExplainFile, text);
    write(run_files::kResultsJsonFile,
          analysis::benchmark_json(model, benchmark_context(context, study_executable), work.programs));
    say("\n" + text);
    say(fmt::format("\nThe work of {} program{} counted in {}: {}\n", work.programs.size(),
                    work.programs.size() == 1 ? "" : "s", analysis::clock_text(work.seconds), run_folder.string()));
    for (const std::string& failure : failures) complain(fmt::format("study: {}\n", failure));
    return failures.empty() ? 0 : 1;
  } catch (const ToolError& error) {
    complain(fmt::format("study: {}\n", error.what()));
    return 1;
  }
}

}  // namespace study
