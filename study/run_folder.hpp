// The folder of one study run: results/<date>-<time>.
#pragma once

#include <filesystem>

namespace study {

// Creates `results` if need be and in it a new folder named after the local
// date and time, with -2, -3, ... when a study started in the same second.
// Throws ToolError when it cannot.
std::filesystem::path make_run_folder(const std::filesystem::path& results);

}  // namespace study
