#include "support/sibling_program.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace test_support {
namespace {

// The current directory as the test program started, before any test
// moved it: a relative argv[0] is taken from there.
const std::filesystem::path starting_folder = std::filesystem::current_path();

// The running test program's own file, from its argv[0] as GoogleTest keeps
// it: with a slash, from the starting folder; without one, along PATH, as
// the shell found it. Plain POSIX, with no /proc to ask.
std::filesystem::path this_program() {
  const std::vector<std::string> arguments = testing::internal::GetArgvs();
  if (arguments.empty() || arguments.front().empty()) throw std::runtime_error("the test program has no argv[0]");
  const std::string& name = arguments.front();
  if (name.find('/') != std::string::npos) return std::filesystem::weakly_canonical(starting_folder / name);
  const char* search = std::getenv("PATH");
  std::string entries = search != nullptr ? search : "";
  std::size_t start = 0;
  while (true) {
    const std::size_t colon = entries.find(':', start);
    const std::string entry = entries.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    const std::filesystem::path candidate = starting_folder / (entry.empty() ? "." : entry) / name;
    if (::access(candidate.c_str(), X_OK) == 0) return std::filesystem::weakly_canonical(candidate);
    if (colon == std::string::npos) throw std::runtime_error("cannot find " + name + " along PATH");
    start = colon + 1;
  }
}

}  // namespace

std::filesystem::path sibling_program(std::string_view name) { return this_program().parent_path() / name; }

}  // namespace test_support
