#include "study/session/program_executor.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <chrono>

#include "analysis/text/text_format.hpp"
#include "study/charts/chart_job.hpp"
#include "study/charts/result_charts.hpp"
#include "study/model/run_folder_layout.hpp"
#include "study/os/console.hpp"
#include "study/os/program.hpp"
#include "study/os/tool_console.hpp"
#include "study/os/tool_error.hpp"
#include "study/run/input_digest.hpp"
#include "study/run/memory_budget.hpp"
#include "study/run/program_runner.hpp"

namespace study {
namespace {

// The page shows a results file only up to this size.
constexpr std::size_t kLongestShownResults = std::size_t{1} << 20;

std::string ending_of(const ProgramRun& run) {
  switch (run.state) {
    case ProgramState::completed:
      return run.study_failures.empty() ? "done" : "done, results INCOMPLETE";
    case ProgramState::stopped:
      return "STOPPED";
    default:
      return "FAILED: " + run.detail;
  }
}

// What the program's outcome says of the run: its state, status and why it ended.
void note_outcome(ProgramRun& run, const RunOutcome& outcome) {
  run.wall_seconds = outcome.wall_seconds;
  run.peak_resident_bytes = outcome.peak_resident_bytes;
  run.steps = outcome.steps;
  run.status = outcome.exited ? std::to_string(outcome.exit_status) : outcome.cause;
  run.detail = outcome.runtime_error;
  const bool clean_exit = outcome.exited && outcome.exit_status == 0;
  run.state = clean_exit ? ProgramState::completed : outcome.interrupted ? ProgramState::stopped : ProgramState::failed;
  if (run.detail.empty() && !clean_exit) {
    run.detail = outcome.interrupted ? "stopped by Ctrl-C"
                 : outcome.exited    ? "ended with exit status " + std::to_string(outcome.exit_status)
                                     : fmt::format("ended by {} ({})", outcome.cause, outcome.cause_name);
  }
  if (!outcome.console_failure.empty()) run.study_failures.push_back(outcome.console_failure);
}

}  // namespace

void warn(StudyRun& study, std::vector<std::string> warnings) {
  for (std::string& warning : warnings) {
    say(fmt::format("study: WARNING: {}\n", warning));
    study.warnings.push_back(std::move(warning));
  }
}

ProgramExecutor::ProgramExecutor(const StudyOptions& options, std::filesystem::path run_folder,
                                 os::InterruptWatch& interrupts, MachineHygiene& hygiene, TimeEstimate& estimate)
    : options_(options),
      run_folder_(std::move(run_folder)),
      interrupts_(interrupts),
      hygiene_(hygiene),
      estimate_(estimate),
      terminal_(os::standard_output_is_terminal()),
      status_(terminal_) {}

std::string ProgramExecutor::progress_note(const ProgramRun& run, const StudyRun& study, int steps,
                                           double elapsed) const {
  std::string note = repeat_note(run);
  std::optional<double> rest = estimate_.rest_of_run(*run.program, steps, elapsed);
  double modelled = 0.0;
  if (!rest) {
    // No step of it timed yet: its cost model at the pace of what ran before.
    if (const std::optional<double> whole = estimate_.modelled_run(*run.program, *run.program, steps, elapsed)) {
      rest = std::max(*whole - elapsed, 0.0);
      modelled += *whole;
    }
  }
  double known = rest.value_or(0.0);
  bool some_unknown = !rest;
  bool later = false;
  // A wait under a second is the sample itself, not a machine that keeps busy.
  const double settle = settles_ > 0 && settle_seconds_ / settles_ >= 1.0 ? settle_seconds_ / settles_ : 0.0;
  for (const ProgramRun& other : study.programs) {
    if (&other == &run) later = true;
    if (!later || &other == &run) continue;
    // A later repeat of the running program takes what this run is heading for.
    std::optional<double> whole =
        other.program == run.program && rest ? elapsed + *rest : estimate_.whole_run(*other.program);
    if (!whole) {
      // A program not yet seen: its cost model at the pace of what ran so far.
      whole = estimate_.modelled_run(*other.program, *run.program, steps, elapsed);
      modelled += whole.value_or(0.0);
    }
    known += whole.value_or(0.0) + settle;
    some_unknown = some_unknown || !whole;
  }
  if (!rest && known == 0.0) return note;
  return note + (note.empty() ? "" : ", ") + time_left_text(known, some_unknown, modelled);
}

void ProgramExecutor::run(ProgramRun& run, StudyRun& study) {
  const analysis::SuiteProgram& program = *run.program;
  const std::string name(program.name);
  const std::filesystem::path executable = os::program_file(options_.programs, name);
  if (!os::can_start(executable)) {
    run.state = ProgramState::missing;
    run.status = "missing";
    run.detail = "no executable " + executable.string() + " (build it first)";
    say(fmt::format("  {:<14}MISSING: {}\n", name, run.detail));
    return;
  }
  const std::int64_t needed = program.array_bytes + analysis::kProgramOverheadBytes;
  const MemoryBudget budget = available_memory(options_.memory_limit);
  if (needed > budget.bytes) {
    run.state = ProgramState::refused;
    run.status = "refused";
    run.detail = fmt::format(
        "not started: it needs {} ({} bytes of arrays and {} for the program), but only {} are available ({})",
        analysis::megabytes(needed), analysis::with_thousands(program.array_bytes),
        analysis::megabytes(analysis::kProgramOverheadBytes),
        analysis::megabytes(std::max<std::int64_t>(budget.bytes, 0)), budget.source);
    say(fmt::format("  {:<14}REFUSED: {}\n", name, run.detail));
    return;
  }
  start(run, study, executable);
}

void ProgramExecutor::start(ProgramRun& run, StudyRun& study, const std::filesystem::path& executable) {
  const analysis::SuiteProgram& program = *run.program;
  const MachineHygiene::Waiting waiting{[](const std::string& line) { say(fmt::format("study: {}\n", line)); },
                                        [this] {
                                          interrupts_.take();
                                          return interrupts_.interrupted();
                                        }};
  const auto waited_from = std::chrono::steady_clock::now();
  warn(study, hygiene_.before(run.label(), study.context, waiting));
  settle_seconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - waited_from).count();
  ++settles_;
  // Stopped while it waited for the machine: the program stays not started,
  // and has no folder.
  if (interrupts_.interrupted()) return;
  const std::filesystem::path folder = run_folder_ / run.folder;
  try {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) fail_on_file("create the folder", folder, error.value());
    std::vector<std::string> environment{fmt::format(
        "{}={}", run_files::kRecordVariable, std::filesystem::absolute(folder / run_files::kRecordFile).string())};
    if (run.seed) environment.push_back(fmt::format("{}={}", run_files::kSeedVariable, *run.seed));
    estimate_.start_run();
    const RunOutcome outcome = run_suite_program(
        executable, program, folder, interrupts_,
        [&](int steps, double elapsed) {
          hygiene_.during(run.label());
          estimate_.note_step(steps, elapsed);
          status_.show(program, steps, elapsed, estimate_.time_share(program, steps, elapsed), {},
                       progress_note(run, study, steps, elapsed));
        },
        terminal_, environment);
    std::vector<std::string> disturbances = hygiene_.after(run.label(), study.context);
    note_outcome(run, outcome);
    collect_results(run, folder);
    // Only a complete run's input goes: a failed or stopped one keeps it as evidence.
    if (run.state == ProgramState::completed && run.results) {
      run.input = settle_input_file(folder, program.name, options_.keep_inputs);
      if (run.input && !run.input->failure.empty()) {
        complain(fmt::format("study: {}: {} kept: {}\n", run.label(), run_files::kInputFile, run.input->failure));
      }
    }
    if (outcome.exited && outcome.exit_status == 0) estimate_.note_run(program, run.wall_seconds);
    status_.show(program, run.steps, run.wall_seconds, estimate_.time_share(program, run.steps, run.wall_seconds),
                 ending_of(run), repeat_note(run));
    warn(study, std::move(disturbances));
  } catch (const ToolError& error) {
    if (run.state == ProgramState::not_started) {
      run.state = ProgramState::failed;
      run.status = "-";
      run.detail = "the study could not run it";
    }
    run.study_failures.push_back(error.what());
    say(fmt::format("  {:<14}FAILED: {}\n", program.name, run.detail));
  }
  for (const std::string& failure : run.study_failures) complain(fmt::format("study: {}\n", failure));
}

void ProgramExecutor::collect_results(ProgramRun& run, const std::filesystem::path& folder) {
  const std::filesystem::path results = folder / run_files::kResultsFile;
  if (!std::filesystem::exists(results)) {
    if (run.detail.empty()) run.detail = fmt::format("it wrote no {}", run_files::kResultsFile);
    if (run.state == ProgramState::completed) run.state = ProgramState::failed;
    return;
  }
  ChartJob job;
  try {
    chart_results_file(results, job);
  } catch (const ToolError& error) {
    run.study_failures.push_back(error.what());
  } catch (const std::exception& error) {
    // A fault of the chart code itself must not cost the rest of the study.
    run.study_failures.push_back(fmt::format("cannot chart {}: {}", results.string(), error.what()));
  }
  if (job.text.size() < kLongestShownResults) run.results_text = job.text;
  run.results = std::move(job.result);
  for (const std::filesystem::path& path : job.written) {
    if (path.extension() == ".svg") run.charts.push_back(path.filename().string());
    if (path.extension() == ".csv") run.csv = path.filename().string();
  }
  if (!job.rejection.empty()) {
    if (run.detail.empty()) run.detail = job.rejection;
    if (run.state == ProgramState::completed) run.state = ProgramState::failed;
  }
}

}  // namespace study
