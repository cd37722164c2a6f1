// The instruments of a program as it was started: the real clocks and tick
// count, and what its environment asks for:
//   SORTBENCH_SEED=N     seeds the run with N (decimal, 0..4294967295)
//   SORTBENCH_RECORD=F   also writes the precise record of the run to F
// Without either variable the run is exactly the plain one.
#pragma once

#include "kit/environment_names.hpp"
#include "kit/instruments.hpp"

namespace kit {

// Reads both variables. An empty SORTBENCH_RECORD names no file. A
// malformed SORTBENCH_SEED is refused at once, before the run touches any
// file: one line on standard error naming `program`, then exit status 1.
Instruments instruments_from_environment(const char* program);

}  // namespace kit
