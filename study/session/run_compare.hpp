// study compare RUN_A RUN_B: the records of two run folders cell by cell,
// written into a new folder: summary.txt with one line per program, the two
// contexts side by side (context.txt) and a ratio chart per program.
#pragma once

#include <filesystem>
#include <string>

#include "study/model/build_context.hpp"
#include "study/session/session_options.hpp"

namespace study {

// The two contexts, one key per line, "*" before a key whose values differ.
std::string contexts_side_by_side(const Context& a, const Context& b);

// Writes the comparison and prints its summary; returns the exit status:
// 0, or 1 with the reason on standard error when the runs cannot be read
// or compared.
int compare_study_runs(const CompareOptions& options);

}  // namespace study
