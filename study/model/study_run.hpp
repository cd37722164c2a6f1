// One study run as a value: what each program did and what the study made
// of its results. The summary, the index page and the closing report are
// all read from it, so they cannot tell different stories.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/programs/suite_programs.hpp"
#include "analysis/records/result_file.hpp"
#include "analysis/verdicts/program_answers.hpp"
#include "study/model/build_context.hpp"

namespace study {

// What the program itself did.
enum class ProgramState { not_started, refused, missing, completed, failed, stopped };

// What became of the input file a program left in its folder (tallyduel's
// vstup.in) after a complete run; see input_digest.hpp.
struct InputFileNote {
  std::int64_t bytes = 0;
  std::string sha256;  // empty when the file could not be read
  bool removed = false;
  std::string failure;  // why the file stays though the study meant to remove it
};

struct ProgramRun {
  const analysis::SuiteProgram* program = nullptr;
  int repeat = 1;  // counted from 1
  // Runs of this program in the study; none while a study run until
  // decided adds rounds.
  std::optional<int> repeats = 1;
  std::optional<std::uint32_t> seed;  // given to the program, when chosen
  std::string folder;                 // its folder inside the run folder, see repeat_folders.hpp
  ProgramState state = ProgramState::not_started;
  std::string status;  // "0", "5", "signal 9" (Windows: "exception 0xC0000005"), "refused", "missing"
  std::string detail;  // the runtime error line, the refusal, what is wrong with its results
  double wall_seconds = 0;
  std::optional<std::int64_t> peak_resident_bytes;  // absent when the system cannot tell it
  int steps = 0;
  std::optional<analysis::ResultFile> results;  // its vystup.out, read back
  std::string results_text;                     // vystup.out as written, for the page
  std::vector<std::string> charts;              // file names inside the program's folder
  std::string csv;                              // file name of the CSV, when written
  // The study's own failures with this program's files (a chart, the CSV or
  // console.txt it could not write): the program's results are incomplete.
  std::vector<std::string> study_failures;
  std::optional<InputFileNote> input;  // after a complete run that left an input file

  // "tallygrid", or "tallygrid repeat 2" when there are repeats.
  std::string label() const {
    std::string text(program->name);
    if (repeats != 1) text += " repeat " + std::to_string(repeat);
    return text;
  }
  bool ran() const {
    return state == ProgramState::completed || state == ProgramState::failed || state == ProgramState::stopped;
  }
  bool complete() const { return state == ProgramState::completed && study_failures.empty(); }
  std::optional<std::int64_t> cell_hundredths() const {
    if (!results) return std::nullopt;
    return results->total_hundredths();
  }
};

// The charts of one program's medians over its repeats, beside the repeats' folders.
struct MedianCharts {
  std::string program;
  std::size_t runs = 0;             // the complete runs they draw
  std::vector<std::string> charts;  // paths inside the run folder
};

// The charts of the work a replay counted on one program's run.
struct WorkCharts {
  std::string program;
  std::vector<std::string> charts;  // paths inside the run folder
};

struct StudyRun {
  std::string name;  // the run folder's name, <date>-<time>
  Context context;
  std::vector<std::string> warnings;
  std::vector<ProgramRun> programs;
  // From the precise records, once every run has ended: each program's
  // answer, and the runs that could not count.
  std::vector<analysis::ProgramAnswer> answers;
  std::vector<std::string> incomplete_runs;
  std::vector<std::string> export_failures;  // results.json, results.csv or a median chart not written
  std::vector<MedianCharts> median_charts;   // programs with more than one complete run
  std::vector<WorkCharts> work_charts;       // programs whose work was counted (--explain)
  // A study run until decided: why it stopped adding runs.
  std::string until_decided;
  bool interrupted = false;
  bool finished = false;  // false while programs are still to run
};

// "repeat 2/3", "round 2" until decided, or nothing for a single run.
std::string repeat_note(const ProgramRun& run);

// "not started", "refused", "missing", "complete", "incomplete", "failed", "stopped"
std::string_view state_word(const ProgramRun& run);

// The programs whose state word is `word`, joined by ", "; "none" when there are none.
std::string programs_in_state(const StudyRun& study, std::string_view word);

}  // namespace study
