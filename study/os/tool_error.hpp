// The one error type of the suite's tools (study, resultchart). A tool
// that manages results must not stop the way the measured programs do:
// the code that handles one program's or one file's results catches this,
// says what failed in plain words and goes on with the next.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace study {

class ToolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The system's text for an error number, starting in lower case so it reads
// on inside a sentence: "no space left on device".
std::string error_text(int error_number);

// "cannot write results/.../vystup.csv: no space left on device"
[[noreturn]] void fail_on_file(std::string_view action, const std::filesystem::path& path, int error_number);

}  // namespace study
