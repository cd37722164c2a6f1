// The test support's system part on POSIX systems: descriptors, argv[0],
// setenv.
#include "support/system.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/test_support.hpp"

namespace test_support {
namespace system {
namespace {

// The current directory as the test program started, before any test
// moved it: a relative argv[0] is taken from there.
const std::filesystem::path starting_folder = std::filesystem::current_path();

}  // namespace

// From argv[0] as GoogleTest keeps it: with a slash, from the starting
// folder; without one, along PATH, as the shell found it. Plain POSIX, with
// no /proc to ask.
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

bool reruns_a_test_for_its_parent() { return false; }

std::intptr_t redirect_standard_output(const std::filesystem::path& file) {
  const int saved = dup(STDOUT_FILENO);
  send_standard_output_to(file);
  return saved;
}

void restore_standard_output(std::intptr_t saved) {
  dup2(static_cast<int>(saved), STDOUT_FILENO);
  close(static_cast<int>(saved));
}

}  // namespace system

void send_standard_output_to(const std::filesystem::path& file) {
  const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) throw std::runtime_error("cannot create " + file.string());
  dup2(fd, STDOUT_FILENO);
  close(fd);
}

void close_standard_output() { close(STDOUT_FILENO); }

void set_environment(const char* name, const char* value) { setenv(name, value, 1); }
void unset_environment(const char* name) { unsetenv(name); }

void use_utc() {
  set_environment("TZ", "UTC");
  tzset();
}

}  // namespace test_support
