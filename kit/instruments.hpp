// What a program run takes from its surroundings besides files: the random
// seed, the wall clock, the precise clock, and what the environment asks for
// (a chosen seed, a record of the run). Production reads the tick count and
// the real clocks; tests substitute fixed ones to get reproducible runs.
#pragma once

#include <cstdint>
#include <optional>

#include "kit/os/clocks.hpp"
#include "kit/random_source.hpp"
#include "kit/stopwatch.hpp"

namespace kit {

// A request for the precise record of a run (run_record.hpp).
struct RecordRequest {
  const char* file = nullptr;  // no record when null
  const char* program = "";    // the program, as the record names it
};

struct Instruments {
  std::uint32_t (*read_seed)() = os::tick_count;
  Stopwatch::ReadClock read_clock = os::read_wall_clock;
  // Read only by a run that keeps a record.
  Stopwatch::ReadClock read_precise_clock = os::read_precise_clock;
  // Seeds the run instead of read_seed, so its data can be drawn again.
  std::optional<std::uint32_t> chosen_seed{};
  RecordRequest record{};
};

// The stopwatch of a run: it reads the precise clock only when the run keeps
// a record, so a run without one reads its clocks exactly as before.
inline Stopwatch stopwatch_for(const Instruments& instruments) {
  return Stopwatch(instruments.read_clock,
                   instruments.record.file != nullptr ? instruments.read_precise_clock : nullptr);
}

}  // namespace kit
