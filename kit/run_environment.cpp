#include "kit/run_environment.hpp"

#include <cstdlib>
#include <string>

#include "kit/os/files.hpp"
#include "kit/os/process.hpp"
#include "kit/seed_choice.hpp"

namespace kit {
namespace {

[[noreturn]] void refuse_seed(const char* program, const char* text) {
  std::string message(program);
  message.append(": ").append(kSeedVariable).append(" must be a decimal number from 0 to 4294967295, not \"");
  message.append(text).append("\"\r\n");
  // If standard error is closed, the status still tells.
  os::write_all(os::standard_error(), message.data(), message.size());
  os::end_process(1);
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
