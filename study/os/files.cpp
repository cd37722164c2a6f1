// What the files' interface builds on each system's reads.
#include "study/os/files.hpp"

namespace study::os {

FileContent read_file(const std::filesystem::path& path, std::size_t limit) {
  constexpr std::size_t kBlockBytes = std::size_t{1} << 16;
  FileContent result;
  std::string text;
  result.error = read_blocks(path, kBlockBytes, [&](std::string_view block) {
    if (block.size() > limit - text.size()) {
      result.too_large = true;
      return false;
    }
    text.append(block);
    return true;
  });
  if (result.error == 0 && !result.too_large) result.text = std::move(text);
  return result;
}

}  // namespace study::os
