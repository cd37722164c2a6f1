// What one invocation of study asks for: the programs to run and how, or
// the two run folders to compare. The command line fills it (study_options.hpp).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "analysis/programs/suite_programs.hpp"

namespace study {

struct CompareOptions {
  std::filesystem::path run_a;
  std::filesystem::path run_b;
  std::filesystem::path results = "results";
};

// `study compare-builds BIN_A BIN_B`: the programs of two builds, run in
// turn round after round; the other fields of StudyOptions apply to both.
struct BuildsOptions {
  std::filesystem::path bin_a;
  std::filesystem::path bin_b;
  int rounds = 3;
};

struct StudyOptions {
  std::filesystem::path programs;  // where the programs' executables are
  std::filesystem::path results = "results";
  std::optional<std::int64_t> memory_limit;
  std::vector<const analysis::SuiteProgram*> selected;  // in the order given; all six when none is named
  // Runs of each program, interleaved across programs; when not given, one,
  // or with --replay as many as the replayed run recorded.
  std::optional<int> repeats;
  std::vector<std::uint32_t> seeds;       // one per repeat, when given
  std::filesystem::path replay;           // a run folder whose recorded seeds to reuse, when given
  bool keep_inputs = false;               // keep an input file its seed regenerates (vstup.in)
  std::optional<CompareOptions> compare;  // `study compare`: no programs are run
  std::optional<BuildsOptions> builds;    // `study compare-builds`; seeds, when given, one per round
  // Rounds of runs while some verdict is undecided, within a budget of time.
  bool until_decided = false;
  double budget_seconds = 3600;
  // The work of every sort counted on each program's data after the runs.
  bool explain = false;
  std::optional<std::filesystem::path> explain_folder;  // `study explain`: no programs are run
};

}  // namespace study
