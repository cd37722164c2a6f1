// Where the running tool's own executable is, so it can find the programs
// built beside it.
#pragma once

#include <filesystem>
#include <optional>

namespace study::os {

// The folder of the running executable. `argv0` is main's argv[0] (or
// null), which systems without a way to ask need: a name with a slash is
// taken from the current directory, one without is looked for along PATH,
// as the shell did to start it. Absent when it cannot be found.
std::optional<std::filesystem::path> executable_folder(const char* argv0);

}  // namespace study::os
