#include "study/os/output_files.hpp"

#include <string>

#include "study/os/files.hpp"
#include "study/os/tool_error.hpp"

namespace study {

void write_file_atomically(const std::filesystem::path& path, std::string_view content) {
  std::filesystem::path temporary = path;
  temporary += ".tmp" + std::to_string(os::process_id());
  os::OutputFile file(temporary);
  if (!file.is_open()) fail_on_file("write", path, file.open_error());
  int error = file.write(content);
  // Some file systems report a full disk only when the file is closed.
  if (const int closing = file.close(); error == 0) error = closing;
  if (error == 0) error = os::replace_file(temporary, path);
  if (error != 0) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    fail_on_file("write", path, error);
  }
}

FileText read_whole_file(const std::filesystem::path& path, std::size_t limit) { return os::read_file(path, limit); }

}  // namespace study
