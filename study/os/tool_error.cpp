#include "study/os/tool_error.hpp"

#include <fmt/format.h>

#include <cctype>
#include <cstring>

namespace study {

std::string error_text(int error_number) {
  std::string text = std::strerror(error_number);
  // A sentence's capital ("No space left on device") goes, an abbreviation's ("I/O error") stays.
  if (text.size() > 1 && std::isupper(static_cast<unsigned char>(text[0])) &&
      std::islower(static_cast<unsigned char>(text[1]))) {
    text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  }
  return text;
}

void fail_on_file(std::string_view action, const std::filesystem::path& path, int error_number) {
  throw ToolError(fmt::format("cannot {} {}: {}", action, path.string(), error_text(error_number)));
}

}  // namespace study
