// The study run on small shell scripts standing in for the suite's
// programs, in a scratch folder: bin/ holds the stand-ins and a
// build-info.txt, results/ receives the run folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "study/suite_programs.hpp"
#include "support/test_support.hpp"

namespace study_tests {

void write_text(const std::filesystem::path& path, const std::string& text);

class StudyWithStandIns : public ::testing::Test {
 protected:
  void SetUp() override;

  std::filesystem::path bin() const { return scratch.path() / "bin"; }
  std::filesystem::path results() const { return results_; }

  // A stand-in program: `body` is shell script run in the program's folder.
  void fake(const std::string& name, const std::string& body);
  // Prints `steps` progress lines like `line` (printf format of the step
  // number), then writes `results` as vystup.out and runs `after`.
  void fake_with_results(const std::string& name, int steps, const std::string& line, const std::string& results,
                         const std::string& after = "");

  // Like fake_with_results, then writes a precise record of every cell of
  // `program`'s tables to SORTBENCH_RECORD with the seed from SORTBENCH_SEED
  // (4242 without one) and `nanoseconds` per cell; `before_record` runs
  // first, e.g. to fail on one seed.
  void fake_recording(const study::SuiteProgram& program, const std::string& results,
                      std::int64_t (*nanoseconds)(std::size_t row, std::size_t column),
                      const std::string& before_record = "");

  std::vector<std::string> study_arguments(std::vector<std::string> extra) const;
  // The one run folder made so far.
  std::filesystem::path run_folder() const;

  test_support::ScratchDirectory scratch;
  std::filesystem::path results_ = scratch.path() / "results";
};

}  // namespace study_tests
