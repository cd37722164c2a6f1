#include "kit/run_environment.hpp"

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "kit/seed_choice.hpp"

namespace kit {
namespace {

[[noreturn]] void refuse_seed(const char* program, const char* text) {
  std::string message(program);
  message.append(": ").append(kSeedVariable).append(" must be a decimal number from 0 to 4294967295, not \"");
  message.append(text).append("\"\r\n");
  // One write; if standard error is closed, the status still tells.
  [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, message.data(), message.size());
  ::_exit(1);
}

}  // namespace

Instruments instruments_from_environment(const char* program) {
  Instruments instruments;
  if (const char* seed = std::getenv(kSeedVariable); seed != nullptr) {
    instruments.chosen_seed = parse_seed(seed);
    if (!instruments.chosen_seed) refuse_seed(program, seed);
  }
  if (const char* file = std::getenv(kRecordVariable); file != nullptr && *file != '\0') {
    instruments.record = {.file = file, .program = program};
  }
  return instruments;
}

}  // namespace kit
