// The command line of study:
//   study [--bin DIR] [--results DIR] [--memory-limit SIZE] [--repeat N]
//         [--seeds LIST | --replay RUN_FOLDER] [PROGRAM...]
//   study compare RUN_A RUN_B [--results DIR]
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "study/run_compare.hpp"
#include "study/suite_programs.hpp"

namespace study {

struct StudyOptions {
  std::filesystem::path programs;  // where the programs' executables are
  std::filesystem::path results = "results";
  std::optional<std::int64_t> memory_limit;
  std::vector<const SuiteProgram*> selected;  // in the order given; all six when none is named
  int repeats = 1;                            // runs of each program, interleaved across programs
  std::vector<std::uint32_t> seeds;           // one per repeat, when given
  std::filesystem::path replay;               // a run folder whose recorded seeds to reuse, when given
  std::optional<CompareOptions> compare;      // `study compare`: no programs are run
};

// Prints the help and exits 0 after --help; says what is wrong, prints the
// usage line and exits 2 on a command line it cannot take.
StudyOptions parse_study_options(int argc, char** argv);

}  // namespace study
