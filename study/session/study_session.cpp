#include "study/session/study_session.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <map>

#include "analysis/export/benchmark_json.hpp"
#include "analysis/export/long_csv.hpp"
#include "analysis/text/text_format.hpp"
#include "kit/file_names.hpp"
#include "study/charts/chart_job.hpp"
#include "study/charts/result_charts.hpp"
#include "study/os/console.hpp"
#include "study/os/output_files.hpp"
#include "study/os/program.hpp"
#include "study/os/tool_console.hpp"
#include "study/os/tool_error.hpp"
#include "study/page/index_page.hpp"
#include "study/page/summary_table.hpp"
#include "study/run/input_digest.hpp"
#include "study/run/memory_budget.hpp"
#include "study/run/program_runner.hpp"
#include "study/run/record_file.hpp"
#include "study/run/repeat_folders.hpp"
#include "study/run/run_folder.hpp"
#include "study/run/run_timings.hpp"
#include "study/session/run_folder_records.hpp"

namespace study {
namespace {

constexpr int kExitInterrupted = 130;

// The charts of a program's medians over its repeats: <program>/median-*.svg.
constexpr std::string_view kMedianChartStem = "median";

// The page shows a results file only up to this size.
constexpr std::size_t kLongestShownResults = std::size_t{1} << 20;

// Every run of the study in the order they run: repeat after repeat of all
// the programs, each with its folder and, when chosen, its seed.
std::vector<ProgramRun> planned_runs(const StudyOptions& options) {
  // The seeds of a replayed run, per program and repeat.
  std::vector<std::vector<std::uint32_t>> replayed(options.selected.size());
  int repeats = options.repeats;
  if (!options.replay.empty()) {
    for (std::size_t i = 0; i < options.selected.size(); ++i) {
      const std::string_view name = options.selected[i]->name;
      for (const std::filesystem::path& folder : recorded_repeat_folders(options.replay, name)) {
        const std::optional<analysis::RecordedRun> record = read_record(folder / kRecordFileName, 1);
        if (!record || record->measurements.empty()) {
          throw ToolError(fmt::format("cannot replay {}: it holds no record of a run", folder.string()));
        }
        replayed[i].push_back(record->seed);
      }
      if (replayed[i].empty()) {
        throw ToolError(fmt::format("cannot replay: {} holds no record of {}", options.replay.string(), name));
      }
      if (options.repeats == 0) repeats = std::max<int>(repeats, static_cast<int>(replayed[i].size()));
    }
    for (std::size_t i = 0; i < options.selected.size(); ++i) {
      if (replayed[i].size() < static_cast<std::size_t>(repeats)) {
        throw ToolError(fmt::format("cannot replay {} repeats of {}: {} holds {}", repeats, options.selected[i]->name,
                                    options.replay.string(), replayed[i].size()));
      }
    }
  }
  // Until decided, every program runs once first, in a folder of its first
  // repeat: later rounds follow as the verdicts ask.
  if (options.until_decided) repeats = 1;
  std::vector<ProgramRun> runs;
  for (int repeat = 1; repeat <= repeats; ++repeat) {
    for (std::size_t i = 0; i < options.selected.size(); ++i) {
      ProgramRun run;
      run.program = options.selected[i];
      run.repeat = repeat;
      run.repeats = options.until_decided ? 0 : repeats;
      // With forward slashes on every system: it names the folder on the page too.
      run.folder = repeat_folder(run.program->name, repeat, run.repeats).generic_string();
      if (!options.seeds.empty()) run.seed = options.seeds[static_cast<std::size_t>(repeat - 1)];
      if (!replayed[i].empty()) run.seed = replayed[i][static_cast<std::size_t>(repeat - 1)];
      runs.push_back(std::move(run));
    }
  }
  return runs;
}

// "repeat 2/3", "round 2" until decided, or nothing for a single run.
std::string repeat_note(const ProgramRun& run) {
  if (run.repeats == 0) return fmt::format("round {}", run.repeat);
  return run.repeats > 1 ? fmt::format("repeat {}/{}", run.repeat, run.repeats) : std::string();
}

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

}  // namespace

StudySession::StudySession(const StudyOptions& options)
    : options_(options),
      terminal_(os::standard_output_is_terminal()),
      status_(terminal_),
      plan_(planned_runs(options)),
      run_folder_(make_run_folder(options.results)) {
  const BuildInfo build = read_build_info(options_.programs);
  study_.name = run_folder_.filename().string();
  study_.warnings = build_warnings(build);
  study_.context = gather_context(build, options_.programs);
  for (std::string& warning : hygiene_.start(study_.context)) study_.warnings.push_back(std::move(warning));
  study_.programs = std::move(plan_);
  study_.repeats = study_.programs.empty() ? 1 : study_.programs.front().repeats;
  for (auto& [name, timeline] : earlier_timings(options_.results, run_folder_)) {
    estimate_.note_earlier_run(*analysis::find_suite_program(name), std::move(timeline));
  }

  say(fmt::format("study: run folder {}\n", run_folder_.string()));
  for (const auto& [key, value] : study_.context) say(fmt::format("  {}: {}\n", key, value));
  for (const std::string& warning : study_.warnings) say(fmt::format("study: WARNING: {}\n", warning));
  write_context();
  write_pages(false);
}

void StudySession::write_context() {
  try {
    write_file_atomically(run_folder_ / "context.txt", context_text(study_.context));
  } catch (const ToolError& error) {
    // Rewritten after each program: said once.
    if (pages_written_) complain(fmt::format("study: {}\n", error.what()));
    pages_written_ = false;
  }
}

void StudySession::warn(std::vector<std::string> warnings) {
  for (std::string& warning : warnings) {
    say(fmt::format("study: WARNING: {}\n", warning));
    study_.warnings.push_back(std::move(warning));
  }
}

std::string StudySession::progress_note(const ProgramRun& run, int steps, double elapsed) const {
  std::string note = repeat_note(run);
  const std::optional<double> rest = estimate_.rest_of_run(*run.program, steps, elapsed);
  double known = rest.value_or(0.0);
  bool some_unknown = !rest;
  bool later = false;
  for (const ProgramRun& other : study_.programs) {
    if (&other == &run) later = true;
    if (!later || &other == &run) continue;
    // A later repeat of the running program takes what this run is heading for.
    const std::optional<double> whole =
        other.program == run.program && rest ? elapsed + *rest : estimate_.whole_run(*other.program);
    known += whole.value_or(0.0);
    some_unknown = some_unknown || !whole;
  }
  if (!rest && known == 0.0) return note;
  return note + (note.empty() ? "" : ", ") + time_left_text(known, some_unknown);
}

void StudySession::run_programs() {
  std::size_t next = 0;
  do {
    for (; next < study_.programs.size(); ++next) {
      interrupts_.take();
      if (interrupts_.interrupted()) return;
      run_program(study_.programs[next]);
      write_context();  // with the load around the program
      write_pages(false);
      if (study_.programs[next].state == ProgramState::completed) write_timings();
    }
  } while (options_.until_decided && plan_next_round());
}

bool StudySession::plan_next_round() {
  StudyMeasurements measurements;
  try {
    measurements = read_study_records(run_folder_, study_.programs);
  } catch (const ToolError& error) {
    study_.until_decided = fmt::format("stopped after round {}: {}", rounds_, error.what());
    return false;
  }
  const analysis::RunModel model = analysis::run_model(std::move(measurements.set));
  double spent = 0.0, next_round = 0.0;
  std::map<const analysis::SuiteProgram*, double> last_wall;
  for (const ProgramRun& run : study_.programs) {
    spent += run.wall_seconds;
    last_wall[run.program] = run.wall_seconds;
  }
  std::vector<ProgramRun> round;
  std::vector<std::string> open;
  for (const analysis::SuiteProgram* program : options_.selected) {
    const analysis::ProgramGrid* grid = model.program(program->name);
    if (grid == nullptr) continue;  // no complete run to add to
    const analysis::ProgramAnswer answer = analysis::program_answer(*grid, look());
    // Only what more runs could decide within reach is worth a run.
    const bool worth = std::any_of(answer.open.begin(), answer.open.end(), [&](const analysis::OpenQuestion& q) {
      return q.runs_needed && *q.runs_needed <= analysis::kMostRunsWorthAsking;
    });
    if (!worth) continue;
    ProgramRun run;
    run.program = program;
    run.repeat = rounds_ + 1;
    run.repeats = 0;
    run.folder = repeat_folder(program->name, run.repeat, run.repeats).generic_string();
    round.push_back(std::move(run));
    open.emplace_back(program->name);
    next_round += last_wall[program];
  }
  const std::string rounds = fmt::format("{} round{}", rounds_, rounds_ == 1 ? "" : "s");
  if (round.empty()) {
    study_.until_decided = "after " + rounds + ", every verdict is decided or beyond what more runs could decide";
  } else if (spent + next_round > options_.budget_seconds) {
    study_.until_decided = fmt::format("after {}, another round ({}) would pass the budget of {}", rounds,
                                       fmt::join(open, ", "), analysis::clock_text(options_.budget_seconds));
  } else {
    ++rounds_;
    say(fmt::format("study: round {}, for what is still undecided: {}\n", rounds_, fmt::join(open, ", ")));
    for (ProgramRun& run : round) study_.programs.push_back(std::move(run));
    return true;
  }
  say(fmt::format("study: until decided: {}\n", study_.until_decided));
  return false;
}

analysis::Look StudySession::look() const {
  return options_.until_decided ? analysis::Look{rounds_} : analysis::Look{};
}

void StudySession::run_program(ProgramRun& run) {
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
  start_program(run, executable);
}

void StudySession::start_program(ProgramRun& run, const std::filesystem::path& executable) {
  const analysis::SuiteProgram& program = *run.program;
  const std::filesystem::path folder = run_folder_ / run.folder;
  try {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) fail_on_file("create the folder", folder, error.value());
    std::vector<std::string> environment{"SORTBENCH_RECORD=" +
                                         std::filesystem::absolute(folder / kRecordFileName).string()};
    if (run.seed) environment.push_back("SORTBENCH_SEED=" + std::to_string(*run.seed));
    warn(hygiene_.before(run.label(), study_.context));
    estimate_.start_run();
    const RunOutcome outcome = run_suite_program(
        executable, program, folder, interrupts_,
        [&](int steps, double elapsed) {
          hygiene_.during(run.label());
          estimate_.note_step(steps, elapsed);
          status_.show(program, steps, elapsed, estimate_.time_share(program, steps, elapsed), {},
                       progress_note(run, steps, elapsed));
        },
        terminal_, environment);
    std::vector<std::string> disturbances = hygiene_.after(run.label(), study_.context);
    run.wall_seconds = outcome.wall_seconds;
    run.peak_resident_bytes = outcome.peak_resident_bytes;
    run.steps = outcome.steps;
    run.status = outcome.exited ? std::to_string(outcome.exit_status) : outcome.cause;
    run.detail = outcome.runtime_error;
    const bool clean_exit = outcome.exited && outcome.exit_status == 0;
    run.state = clean_exit            ? ProgramState::completed
                : outcome.interrupted ? ProgramState::stopped
                                      : ProgramState::failed;
    if (run.detail.empty() && !clean_exit) {
      run.detail = outcome.interrupted ? "stopped by Ctrl-C"
                   : outcome.exited    ? "ended with exit status " + std::to_string(outcome.exit_status)
                                       : fmt::format("ended by {} ({})", outcome.cause, outcome.cause_name);
    }
    if (!outcome.console_failure.empty()) run.study_failures.push_back(outcome.console_failure);
    collect_results(run, folder);
    // Only a complete run's input goes: a failed or stopped one keeps it as evidence.
    if (run.state == ProgramState::completed && run.results) {
      run.input = settle_input_file(folder, program.name, options_.keep_inputs);
      if (run.input && !run.input->failure.empty()) {
        complain(fmt::format("study: {}: {} kept: {}\n", run.label(), kit::kInputFileName, run.input->failure));
      }
    }
    if (clean_exit) estimate_.note_run(program, run.wall_seconds);
    status_.show(program, run.steps, run.wall_seconds, estimate_.time_share(program, run.steps, run.wall_seconds),
                 ending_of(run), repeat_note(run));
    warn(std::move(disturbances));
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

void StudySession::collect_results(ProgramRun& run, const std::filesystem::path& folder) {
  const std::filesystem::path results = folder / kit::kResultsFileName;
  if (!std::filesystem::exists(results)) {
    if (run.detail.empty()) run.detail = fmt::format("it wrote no {}", kit::kResultsFileName);
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

void StudySession::write_pages(bool final) {
  summary_ = summary_text(study_);
  const bool summary = write_page(run_folder_ / "summary.txt", summary_, final);
  const bool index = write_page(run_folder_ / "index.html", index_html(study_), final);
  if (final && !(summary && index)) pages_written_ = false;
}

bool StudySession::write_page(const std::filesystem::path& path, const std::string& content, bool final) {
  try {
    write_file_atomically(path, content);
    return true;
  } catch (const ToolError& error) {
    // While programs run, the page of the last program stays until the next try.
    if (!final) return false;
    // The earlier page describes a run still in progress: it makes room and goes.
    std::error_code ignored;
    if (std::filesystem::remove(path, ignored)) {
      try {
        write_file_atomically(path, content);
        return true;
      } catch (const ToolError&) {
      }
    }
    complain(fmt::format("study: {}\n", error.what()));
    return false;
  }
}

void StudySession::analyse_records() {
  StudyMeasurements measurements;
  try {
    measurements = read_study_records(run_folder_, study_.programs);
  } catch (const ToolError& error) {
    study_.export_failures.push_back(error.what());
    return;
  }
  // Programs that keep no record (stand-ins, older builds) leave no verdict to give.
  if (measurements.set.empty()) return;
  study_.incomplete_runs = std::move(measurements.unrecorded);
  const analysis::RunModel model = analysis::run_model(std::move(measurements.set));
  study_.answers = analysis::program_answers(model, look());
  const analysis::RunContext context =
      benchmark_context(study_.context, os::program_file(options_.programs, "study").string());
  try {
    write_file_atomically(run_folder_ / analysis::kResultsJsonFileName, analysis::benchmark_json(model, context));
    write_file_atomically(run_folder_ / analysis::kResultsCsvFileName, analysis::long_csv(model.measurements));
  } catch (const ToolError& error) {
    study_.export_failures.push_back(error.what());
  }
  write_median_charts(model);
}

void StudySession::write_median_charts(const analysis::RunModel& model) {
  for (const analysis::SuiteProgram* program : options_.selected) {
    const std::string name(program->name);
    const analysis::ProgramGrid* grid = model.program(name);
    if (grid == nullptr || grid->repeats() < 2) continue;
    // The layout of the charts: the tables of any repeat the study read back.
    const auto layout = std::find_if(study_.programs.begin(), study_.programs.end(), [&](const ProgramRun& run) {
      return run.program == program && run.results.has_value();
    });
    if (layout == study_.programs.end()) continue;
    MedianCharts medians{name, grid->repeats(), {}};
    const PreciseTimes precise(*grid);
    try {
      for (const ChartFile& chart : build_charts(*layout->results, kMedianChartStem, name, precise)) {
        const std::filesystem::path relative = std::filesystem::path(name) / chart.file_name;
        write_file_atomically(run_folder_ / relative, chart.content);
        medians.charts.push_back(relative.generic_string());  // a link of the page
      }
    } catch (const ToolError& error) {
      study_.export_failures.push_back(error.what());
    } catch (const std::exception& error) {
      // A fault of the chart code itself must not cost the rest of the study.
      study_.export_failures.push_back(fmt::format("cannot chart the medians of {}: {}", name, error.what()));
    }
    study_.median_charts.push_back(std::move(medians));
  }
}

void StudySession::write_timings() {
  if (estimate_.runs_seen().empty()) return;
  try {
    write_file_atomically(run_folder_ / kTimingsFileName, timings_text(estimate_.runs_seen()));
  } catch (const ToolError& error) {
    // Only the next study's first estimate misses it.
    complain(fmt::format("study: {}\n", error.what()));
  }
}

int StudySession::finish() {
  interrupts_.take();
  study_.interrupted = interrupts_.interrupted();
  study_.finished = true;
  analyse_records();
  write_pages(true);
  say("\n" + summary_);
  say(pages_written_ ? fmt::format("\nResults, charts and index.html: {}\n", run_folder_.string())
                     : fmt::format("\nResults and charts: {} (not every page of the run could be written: see above)\n",
                                   run_folder_.string()));
  if (study_.interrupted) {
    std::string incomplete = programs_in_state(study_, "incomplete");
    say(fmt::format("Interrupted. Complete results: {}. {}Stopped: {}. Not started: {}.\n",
                    programs_in_state(study_, "complete"),
                    incomplete == "none" ? std::string() : "Incomplete: " + incomplete + ". ",
                    programs_in_state(study_, "stopped"), programs_in_state(study_, "not started")));
    return kExitInterrupted;
  }
  if (!pages_written_) return 1;
  for (const ProgramRun& run : study_.programs) {
    if (!run.complete()) return 1;
  }
  return 0;
}

}  // namespace study
