// Windows names the running executable itself; argv[0] is not needed.
#include "study/os/executable_folder.hpp"

#include <string>

#include "study/os/windows/layer.hpp"

namespace study::os {

std::optional<std::filesystem::path> executable_folder(const char*) {
  std::wstring name(MAX_PATH, L'\0');
  while (true) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return std::nullopt;
    if (length < name.size()) {
      name.resize(length);
      return std::filesystem::path(name).parent_path();
    }
    name.resize(name.size() * 2);  // cut short: a longer path than MAX_PATH
  }
}

}  // namespace study::os
