// Finds a program of the suite next to the running test: every executable
// of a build lands in the same bin/ folder.
#pragma once

#include <filesystem>
#include <string_view>

namespace test_support {

// The path of `name` in the folder of the running executable, found from
// its argv[0] (GoogleTest must have been initialised) or, on Windows, from
// the system; the name is given without ".exe".
std::filesystem::path sibling_program(std::string_view name);

}  // namespace test_support
