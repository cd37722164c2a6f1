#include "study/session/study_session.hpp"

#include <fmt/format.h>

#include "analysis/verdicts/program_answers.hpp"
#include "study/estimate/run_timings.hpp"
#include "study/explain/work_explain.hpp"
#include "study/model/run_folder.hpp"
#include "study/model/run_folder_records.hpp"
#include "study/os/program.hpp"
#include "study/os/tool_console.hpp"
#include "study/os/tool_error.hpp"
#include "study/run/noise_calibration.hpp"
#include "study/session/study_plan.hpp"

namespace study {
namespace {

constexpr int kExitInterrupted = 130;

// The plan first: a replay that cannot be had leaves no run folder behind.
StudyRun planned_study(const StudyOptions& options) {
  StudyRun study;
  study.programs = planned_runs(options);
  return study;
}

}  // namespace

StudySession::StudySession(const StudyOptions& options)
    : options_(options),
      study_(planned_study(options_)),
      run_folder_(make_run_folder(options_.results)),
      reports_(run_folder_),
      executor_(options_, run_folder_, interrupts_, hygiene_, estimate_) {
  const BuildInfo build = read_build_info(options_.programs);
  study_.name = run_folder_.filename().string();
  study_.warnings = build_warnings(build);
  study_.context = gather_context(build, options_.programs);
  for (std::string& warning : hygiene_.start(study_.context)) study_.warnings.push_back(std::move(warning));
  // Before the first program, and kept with the run: the decisions of a run read it back from its context.
  if (const std::optional<NoiseCalibration> noise = calibrate_noise()) {
    note_noise_calibration(study_.context, noise->cell_spread, noise->how);
  }
  for (auto& [name, timeline] : earlier_timings(options_.results, run_folder_)) {
    estimate_.note_earlier_run(*analysis::find_suite_program(name), std::move(timeline));
  }

  say(fmt::format("study: run folder {}\n", run_folder_.string()));
  for (const auto& [key, value] : study_.context) say(fmt::format("  {}: {}\n", key, value));
  for (const std::string& warning : study_.warnings) say(fmt::format("study: WARNING: {}\n", warning));
  reports_.write_context(study_);
  reports_.write_pages(study_, false);
}

void StudySession::run_programs() {
  std::size_t next = 0;
  do {
    for (; next < study_.programs.size(); ++next) {
      interrupts_.take();
      if (interrupts_.interrupted()) return;
      executor_.run(study_.programs[next], study_);
      reports_.write_context(study_);  // with the load around the program
      reports_.write_pages(study_, false);
      if (study_.programs[next].state == ProgramState::completed) reports_.write_timings(estimate_.runs_seen());
    }
  } while (options_.until_decided && add_next_round());
}

bool StudySession::add_next_round() {
  NextRound round;
  try {
    round = next_round(
        options_, study_.programs,
        analysis::run_model(read_study_records(run_folder_, study_.programs).set, calibrated_spread(study_.context)),
        rounds_);
  } catch (const ToolError& error) {
    round.stop = fmt::format("stopped after round {}: {}", rounds_, error.what());
  }
  if (round.runs.empty()) {
    study_.until_decided = round.stop;
    say(fmt::format("study: until decided: {}\n", study_.until_decided));
    return false;
  }
  ++rounds_;
  std::vector<std::string_view> names;
  for (const ProgramRun& run : round.runs) names.push_back(run.program->name);
  say(fmt::format("study: round {}, for what is still undecided: {}\n", rounds_, fmt::join(names, ", ")));
  for (ProgramRun& run : round.runs) study_.programs.push_back(std::move(run));
  return true;
}

int StudySession::finish() {
  interrupts_.take();
  study_.interrupted = interrupts_.interrupted();
  study_.finished = true;
  try {
    StudyMeasurements measurements = read_study_records(run_folder_, study_.programs);
    // Programs that keep no record (stand-ins, older builds) leave no answer to give.
    if (!measurements.set.empty()) {
      study_.incomplete_runs = std::move(measurements.unrecorded);
      const analysis::RunModel model =
          analysis::run_model(std::move(measurements.set), calibrated_spread(study_.context));
      study_.answers = analysis::program_answers(model, look_after(options_, rounds_));
      ExplainedWork work;
      if (options_.explain && !study_.interrupted) {
        work = explain_work(run_folder_, model);
        add_work_to_answers(study_.answers, model, work);
        study_.work_charts = std::move(work.charts);
        for (std::string& failure : work.failures) study_.export_failures.push_back(std::move(failure));
      }
      reports_.write_exports(study_, model, os::program_file(options_.programs, "study").string(), work.programs);
    }
  } catch (const ToolError& error) {
    study_.export_failures.push_back(error.what());
  }
  reports_.write_pages(study_, true);
  say("\n" + reports_.summary());
  say(reports_.pages_written()
          ? fmt::format("\nResults, charts and index.html: {}\n", run_folder_.string())
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
  if (!reports_.pages_written()) return 1;
  for (const ProgramRun& run : study_.programs) {
    if (!run.complete()) return 1;
  }
  return 0;
}

}  // namespace study
