// Reading the small "key: value" text files of the system and of the build
// (build-info.txt, and the files in which Linux describes the machine).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace study {

// The whole file, or "" when it cannot be read: every such file is optional.
std::string file_text(const std::filesystem::path& path);

// The value after "key" and a colon on the first line that starts with key,
// without the blanks around it.
std::optional<std::string> field(std::string_view text, std::string_view key);

// The decimal number at the start of `text`, after any spaces.
std::optional<std::int64_t> leading_number(std::string_view text);

}  // namespace study
