// Plain POSIX: no call names the running executable, so argv[0] does, as
// the shell resolved it.
#include "study/os/executable_folder.hpp"

#include "study/os/posix_common/layer.hpp"

namespace study::os {

std::optional<std::filesystem::path> executable_folder(const char* argv0) {
  return unix_layer::folder_of_command(argv0);
}

}  // namespace study::os
