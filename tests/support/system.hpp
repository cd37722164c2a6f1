// What the shared test support asks of the system it runs on; one
// implementation per system, in posix/ and windows/, next to the children
// (run_program.cpp) of the same system.
#pragma once

#include <cstdint>
#include <filesystem>

namespace test_support::system {

// The executables' file name ending.
#ifdef _WIN32
inline constexpr const char* kExecutableSuffix = ".exe";
#else
inline constexpr const char* kExecutableSuffix = "";
#endif

// The running test program's own file.
std::filesystem::path this_program();

// True in a process that re-runs one test for its parent, the way Windows
// runs a child of run_in_child or of a death test: such a process works in
// the scratch folder of its parent (ScratchDirectory). Never on POSIX
// systems, whose children are forks.
bool reruns_a_test_for_its_parent();

// Points standard output at `file` (created or emptied) and returns what
// it pointed at before, for restore_standard_output.
std::intptr_t redirect_standard_output(const std::filesystem::path& file);
void restore_standard_output(std::intptr_t saved);

}  // namespace test_support::system
