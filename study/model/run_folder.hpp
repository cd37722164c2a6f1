// The folder of one study run: results/<date>-<time>, or with a prefix,
// results/compare-<date>-<time>.
#pragma once

#include <filesystem>
#include <string_view>

namespace study {

// Creates `results` if need be and in it a new folder named after the local
// date and time, with -2, -3, ... when a study started in the same second.
// Throws ToolError when it cannot.
std::filesystem::path make_run_folder(const std::filesystem::path& results, std::string_view prefix = {});

}  // namespace study
