// Files the tools read and write. Outputs go through the kit's text file and
// appear under their final name only when complete, so an interrupted run
// never leaves half a chart behind.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace study {

// Writes `content` byte for byte to a temporary name beside `path`, then
// renames it to `path`. A failed write or rename stops the tool with the
// runtime error of that operation.
void write_file_atomically(const std::filesystem::path& path, std::string_view content);

struct FileText {
  std::optional<std::string> text;
  int error = 0;  // errno of the failed open or read
};

// The whole file; a file that cannot be opened or read is the caller's to report.
FileText read_whole_file(const std::filesystem::path& path);

}  // namespace study
