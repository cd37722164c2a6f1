// What a program run takes from its surroundings besides files: the random
// seed, the wall clock, the precise clock, the evidence of each window, and what the environment asks for
// (a chosen seed, a record of the run). Production reads the tick count and
// the real clocks; tests substitute fixed ones to get reproducible runs.
#pragma once

#include <cstdint>
#include <optional>

#include "kit/os/clocks.hpp"
#include "kit/os/window_evidence.hpp"
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
  // Opened and read only by a run that keeps a record.
  os::EvidenceKinds (*open_evidence)() = os::open_window_evidence;
  Stopwatch::ReadEvidence read_evidence = os::read_window_evidence;
  // Seeds the run instead of read_seed, so its data can be drawn again.
  std::optional<std::uint32_t> chosen_seed{};
  RecordRequest record{};
};

// The stopwatch of a run: it reads the precise clock and the evidence only
// when the run keeps a record, so a run without one reads its clocks exactly
// as before. The counters open here, before the first window.
inline Stopwatch stopwatch_for(const Instruments& instruments) {
  if (instruments.record.file == nullptr) return Stopwatch(instruments.read_clock);
  instruments.open_evidence();
  return Stopwatch(instruments.read_clock, instruments.read_precise_clock, instruments.read_evidence);
}

}  // namespace kit
