#include "child_process.hpp"

namespace study_tests {
namespace {

const std::filesystem::path starting_folder = std::filesystem::current_path();

}  // namespace

std::string built(const char* build_path) { return (starting_folder / build_path).string(); }

bool ChildProcess::read_until(std::string_view marker) {
  while (output_.find(marker) == std::string::npos) {
    if (!read_some()) return false;
  }
  return true;
}

int run_tool(const std::vector<std::string>& arguments, const std::filesystem::path& directory, std::string& output) {
  ChildProcess child(arguments, directory);
  const int status = child.finish();
  output = child.output();
  return status;
}

}  // namespace study_tests
