#include "study/session/build_comparison.hpp"

#include <fmt/format.h>

#include <random>

#include "analysis/statistics/run_comparison.hpp"
#include "analysis/text/text_table.hpp"
#include "analysis/verdicts/answers_text.hpp"
#include "analysis/verdicts/program_answers.hpp"
#include "study/charts/ratio_chart_svg.hpp"
#include "study/estimate/run_timings.hpp"
#include "study/model/run_folder.hpp"
#include "study/model/run_folder_layout.hpp"
#include "study/model/run_folder_records.hpp"
#include "study/os/output_files.hpp"
#include "study/os/program.hpp"
#include "study/os/tool_console.hpp"
#include "study/os/tool_error.hpp"
#include "study/session/run_compare.hpp"
#include "study/session/study_plan.hpp"

namespace study {
namespace {

constexpr int kExitInterrupted = 130;
constexpr const char* kRunFolderPrefix = "builds-";

// What both builds run with. Round K of both draws its data from one seed:
// the one given, else one drawn here, as the pairing needs the seed known
// before either runs.
StudyOptions round_options(StudyOptions options) {
  // Checked before the run folder is made: a mistyped folder leaves none behind.
  for (const std::filesystem::path& programs : {options.builds->bin_a, options.builds->bin_b}) {
    std::error_code error;
    if (!std::filesystem::is_directory(programs, error)) throw ToolError("no folder of programs " + programs.string());
  }
  const int rounds = options.builds->rounds;
  options.repeats = rounds;
  if (options.seeds.empty()) {
    std::random_device draw;
    for (int round = 0; round < rounds; ++round) options.seeds.push_back(draw());
  }
  return options;
}

StudyOptions for_build(const StudyOptions& options, const std::filesystem::path& programs) {
  StudyOptions own = options;
  own.programs = programs;
  return own;
}

// Moves the entries of `from` after its first `kept` to the end of `to`.
template <class Entries>
void move_tail(Entries& from, std::size_t kept, Entries& to) {
  for (std::size_t i = kept; i < from.size(); ++i) to.push_back(std::move(from[i]));
  from.resize(kept);
}

}  // namespace

BuildComparison::Build::Build(std::string build_name, const StudyOptions& build_options,
                              std::filesystem::path build_folder, BuildComparison& owner)
    : name(std::move(build_name)),
      options(build_options),
      folder(std::move(build_folder)),
      reports(folder),
      executor(options, folder, owner.interrupts_, owner.hygiene_, owner.estimate_) {}

BuildComparison::BuildComparison(const StudyOptions& options)
    : options_(round_options(options)),
      run_folder_(make_run_folder(options_.results, kRunFolderPrefix)),
      reports_(run_folder_) {
  builds_[0] = std::make_unique<Build>("A", for_build(options_, options_.builds->bin_a), run_folder_ / "A", *this);
  builds_[1] = std::make_unique<Build>("B", for_build(options_, options_.builds->bin_b), run_folder_ / "B", *this);
  // The machine is one for both builds: its settings go into both contexts.
  Context machine;
  const std::vector<std::string> machine_warnings = hygiene_.start(machine);
  for (const std::unique_ptr<Build>& build : builds_) {
    std::error_code error;
    std::filesystem::create_directories(build->folder, error);
    if (error) fail_on_file("create the folder", build->folder, error.value());
    const BuildInfo info = read_build_info(build->options.programs);
    build->study.name = run_folder_.filename().string() + "/" + build->name;
    build->study.programs = planned_runs(build->options);
    build->study.warnings = build_warnings(info);
    build->study.context = gather_context(info, build->options.programs);
    build->study.context.insert(build->study.context.end(), machine.begin(), machine.end());
    for (const std::string& warning : build->study.warnings) {
      say(fmt::format("study: WARNING: build {}: {}\n", build->name, warning));
    }
    build->study.warnings.insert(build->study.warnings.end(), machine_warnings.begin(), machine_warnings.end());
  }
  // A and B of one program back to back, round after round.
  for (std::size_t i = 0; i < builds_[0]->study.programs.size(); ++i) {
    for (const std::unique_ptr<Build>& build : builds_) {
      queue_.programs.push_back(build->study.programs[i]);
      order_.emplace_back(build.get(), i);
    }
  }
  for (auto& [name, timeline] : earlier_timings(options_.results, run_folder_)) {
    estimate_.note_earlier_run(*analysis::find_suite_program(name), std::move(timeline));
  }

  say(fmt::format("study: compare-builds run folder {}\n  A: {}\n  B: {}\n", run_folder_.string(),
                  options_.builds->bin_a.string(), options_.builds->bin_b.string()));
  say(contexts_side_by_side(builds_[0]->study.context, builds_[1]->study.context));
  for (const std::string& warning : machine_warnings) say(fmt::format("study: WARNING: {}\n", warning));
  for (const std::unique_ptr<Build>& build : builds_) {
    build->reports.write_context(build->study);
    build->reports.write_pages(build->study, false);
  }
}

void BuildComparison::run_programs() {
  const int rounds = options_.builds->rounds;
  for (std::size_t next = 0; next < queue_.programs.size(); ++next) {
    interrupts_.take();
    if (interrupts_.interrupted()) return;
    auto [build, index] = order_[next];
    ProgramRun& run = queue_.programs[next];
    say(fmt::format("build {}, round {} of {}, seed {}:\n", build->name, run.repeat, rounds, run.seed.value_or(0)));
    const std::size_t context_kept = queue_.context.size(), warnings_kept = queue_.warnings.size();
    build->executor.run(run, queue_);
    // The load around the run and its warnings are its build's.
    move_tail(queue_.context, context_kept, build->study.context);
    move_tail(queue_.warnings, warnings_kept, build->study.warnings);
    build->study.programs[index] = run;
    build->reports.write_context(build->study);
    build->reports.write_pages(build->study, false);
    if (run.state == ProgramState::completed) reports_.write_timings(estimate_.runs_seen());
  }
}

std::string BuildComparison::comparison_summary(bool& every_program_compared) const {
  const Build& a = *builds_[0];
  const Build& b = *builds_[1];
  std::string summary = fmt::format("A: {}\nB: {}\n", a.options.programs.string(), b.options.programs.string());
  summary += analysis::wrapped(
      fmt::format("{} round{} of each program from A, then from B on the same seed: each ratio B/A is of two runs "
                  "on the same data, one after the other.",
                  options_.builds->rounds, options_.builds->rounds == 1 ? "" : "s"),
      analysis::kSummaryWidth, "", "  ");
  summary += "\n";
  for (const analysis::SuiteProgram* program : options_.selected) {
    const std::string name(program->name);
    const analysis::ProgramGrid* grid_a = a.model.program(name);
    const analysis::ProgramGrid* grid_b = b.model.program(name);
    std::string line;
    if (grid_a == nullptr || grid_b == nullptr) {
      line = fmt::format("{}: not compared: no complete run from {}", name, grid_a == nullptr ? "A" : "B");
      every_program_compared = false;
    } else {
      try {
        const analysis::ProgramComparison comparison = analysis::compare_rounds(*grid_a, *grid_b);
        line = analysis::summary_line(comparison);
        write_file_atomically(run_folder_ / (name + "-ratio.svg"),
                              ratio_chart_svg(name, analysis::ratio_chart(comparison)));
      } catch (const analysis::ComparisonRefused& refusal) {
        line = fmt::format("{}: not compared: {}", name, refusal.what());
        every_program_compared = false;
      } catch (const ToolError& error) {
        // The chart only: the comparison stands.
        complain(fmt::format("study: {}\n", error.what()));
        every_program_compared = false;
      }
    }
    summary += analysis::wrapped(line, analysis::kSummaryWidth, "", "  ");
  }
  std::string left_out;
  for (const std::unique_ptr<Build>& build : builds_) {
    for (const ProgramRun& run : build->study.programs) {
      if (run.complete()) continue;
      left_out += fmt::format("{}{} {}: {}{}", left_out.empty() ? "" : "; ", build->name, run.label(), state_word(run),
                              run.detail.empty() ? "" : " (" + run.detail + ")");
    }
  }
  if (!left_out.empty()) {
    summary += analysis::wrapped("Left out of the comparison: " + left_out + ".", analysis::kSummaryWidth, "", "  ");
  }
  return summary + fmt::format("\nEach build's runs, tables and answers: A/{0}, B/{0}.\n", run_files::kSummaryFile);
}

int BuildComparison::finish() {
  interrupts_.take();
  const bool interrupted = interrupts_.interrupted();
  bool complete = true;
  for (const std::unique_ptr<Build>& build : builds_) {
    StudyRun& study = build->study;
    study.interrupted = interrupted;
    study.finished = true;
    try {
      StudyMeasurements measurements = read_study_records(build->folder, study.programs);
      if (!measurements.set.empty()) {
        study.incomplete_runs = std::move(measurements.unrecorded);
        build->model = analysis::run_model(std::move(measurements.set));
        study.answers = analysis::program_answers(build->model);
        build->reports.write_exports(study, build->model, os::program_file(build->options.programs, "study").string());
      }
    } catch (const ToolError& error) {
      study.export_failures.push_back(error.what());
    }
    build->reports.write_pages(study, true);
    complete = complete && build->reports.pages_written();
    for (const ProgramRun& run : study.programs) complete = complete && run.complete();
  }
  bool compared = true;
  const std::string summary = comparison_summary(compared);
  try {
    write_file_atomically(run_folder_ / run_files::kSummaryFile, summary);
    write_file_atomically(run_folder_ / run_files::kContextFile,
                          contexts_side_by_side(builds_[0]->study.context, builds_[1]->study.context));
  } catch (const ToolError& error) {
    complain(fmt::format("study: {}\n", error.what()));
    complete = false;
  }
  say("\n" + summary + fmt::format("\nComparison, both builds' runs and ratio charts: {}\n", run_folder_.string()));
  if (interrupted) {
    say("Interrupted: the comparison holds the rounds that ran.\n");
    return kExitInterrupted;
  }
  return complete && compared ? 0 : 1;
}

}  // namespace study
