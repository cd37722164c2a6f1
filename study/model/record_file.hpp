// A program's precise record in its folder (record.csv): read back as the
// measurements of one run, or as none when the program left no record.
#pragma once

#include <filesystem>
#include <optional>

#include "analysis/records/recorded_run.hpp"

namespace study {

// The record at `path` as run `repeat`; nullopt when there is none. Throws
// ToolError, naming the file and line, when it cannot be read or is not a
// record.
std::optional<analysis::RecordedRun> read_record(const std::filesystem::path& path, int repeat);

}  // namespace study
