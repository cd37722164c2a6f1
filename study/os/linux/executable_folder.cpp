// Linux: /proc/self/exe names the running executable; argv[0] only when
// /proc is not mounted.
#include "study/os/executable_folder.hpp"

#include "study/os/posix_common/layer.hpp"

namespace study::os {

std::optional<std::filesystem::path> executable_folder(const char* argv0) {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) return executable.parent_path();
  return unix_layer::folder_of_command(argv0);
}

}  // namespace study::os
