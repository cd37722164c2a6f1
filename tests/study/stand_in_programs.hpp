// The study run on stand-ins for the suite's programs, in a scratch folder:
// bin/ holds the stand-ins (study_stand_in under each program's name, with
// its script beside it, see stand_in.cpp) and a build-info.txt, results/
// receives the run folder. machine/ stands in for the machine's state (an
// idle machine: load 0, governor performance, huge pages madvise), and
// locks/ holds the study locks, so that studies of tests run at once do
// not see each other. The noise calibration is off (SORTBENCH_NOISE_CALIBRATION).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/programs/suite_programs.hpp"
#include "support/test_support.hpp"

namespace study_tests {

void write_text(const std::filesystem::path& path, const std::string& text);

// True where the study may not tell a program's peak memory: on the Windows
// layer under Wine, which keeps the counters of a program that has ended
// only until it is gone.
bool peaks_may_be_unknown();

// Cells and precise windows for stand-ins: a time per (row, column) that
// grows along both, as a program's tables do.
std::int64_t hundredths(std::size_t row, std::size_t column);
std::int64_t nanoseconds(std::size_t row, std::size_t column);

class StudyWithStandIns : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::filesystem::path bin() const { return scratch.path() / "bin"; }
  // Laid out like Linux's /proc and /sys (machine_state.hpp).
  std::filesystem::path machine() const { return scratch.path() / "machine"; }
  std::filesystem::path locks() const { return scratch.path() / "locks"; }
  // Writes `text` into `relative` below machine().
  void set_machine_file(const std::string& relative, const std::string& text);
  std::filesystem::path results() const { return results_; }

  // A stand-in program that follows `script` (stand_in.cpp's commands) in
  // the program's folder.
  void fake(const std::string& name, const std::string& script);
  // Prints `steps` progress lines like `line` (%d the step number), then
  // writes `results` as vystup.out and follows `after`.
  void fake_with_results(const std::string& name, int steps, const std::string& line, const std::string& results,
                         const std::string& after = "");

  // Like fake_with_results, then writes a precise record of every cell of
  // `program`'s tables to SORTBENCH_RECORD with the seed from SORTBENCH_SEED
  // (4242 without one) and `nanoseconds` per cell; `before_record` comes
  // first, e.g. to fail on one seed.
  void fake_recording(const analysis::SuiteProgram& program, const std::string& results,
                      std::int64_t (*nanoseconds)(std::size_t row, std::size_t column),
                      const std::string& before_record = "");

  std::vector<std::string> study_arguments(std::vector<std::string> extra) const;
  // The one run folder made so far.
  std::filesystem::path run_folder() const;

  test_support::ScratchDirectory scratch;
  std::filesystem::path results_ = scratch.path() / "results";
};

// summary.txt as one line per note: a note too long for a line breaks
// onto lines of its own, each later one indented by two spaces.
inline std::string notes_unwrapped(std::string text) {
  for (std::size_t at = text.find("\n  "); at != std::string::npos; at = text.find("\n  ", at)) {
    text.replace(at, 3, " ");
  }
  return text;
}

// The suite's program of that name.
inline const analysis::SuiteProgram& program_named(std::string_view name) {
  return *analysis::find_suite_program(name);
}

// The seed field of a record's first row.
inline std::string recorded_seed(const std::filesystem::path& record) {
  const std::string text = test_support::read_file(record);
  const std::size_t row = text.find('\n') + 1;
  const std::size_t first = text.find(',', row) + 1;
  return text.substr(first, text.find(',', first) - first);
}

}  // namespace study_tests
