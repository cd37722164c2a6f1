#include "study/model/repeat_folders.hpp"

#include <string>

#include "study/model/record_file.hpp"
#include "study/model/run_folder_layout.hpp"

namespace study {

std::filesystem::path repeat_folder(std::string_view program, int repeat, std::optional<int> repeats) {
  std::filesystem::path folder(program);
  if (repeats != 1) folder /= "repeat-" + std::to_string(repeat);
  return folder;
}

std::vector<std::filesystem::path> recorded_repeat_folders(const std::filesystem::path& run, std::string_view program) {
  std::error_code error;
  const std::filesystem::path single = run / program;
  if (std::filesystem::exists(single / run_files::kRecordFile, error)) return {single};
  std::vector<std::filesystem::path> folders;
  for (int repeat = 1;; ++repeat) {
    const std::filesystem::path folder = run / repeat_folder(program, repeat, 2);
    if (!std::filesystem::is_directory(folder, error)) break;
    folders.push_back(folder);
  }
  return folders;
}

}  // namespace study
