// Files the tools write and read. An output appears under its final name
// only when it is complete, so a failed or interrupted write never leaves
// half a chart behind, and a failure is a ToolError that names the file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "study/os/files.hpp"

namespace study {

// Writes `content` byte for byte to a temporary name beside `path`, then
// renames it to `path`. On failure the temporary file is removed, whatever
// stood at `path` before is left as it was, and ToolError says "cannot
// write PATH: REASON".
void write_file_atomically(const std::filesystem::path& path, std::string_view content);

// The text, or the error number of the failed open or read, or too_large.
using FileText = os::FileContent;

// The whole file, when it holds at most `limit` bytes; a file that cannot
// be read is the caller's to report.
FileText read_whole_file(const std::filesystem::path& path, std::size_t limit = std::string::npos);

}  // namespace study
