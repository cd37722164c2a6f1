// The environment variables a program reads, named once for the programs
// and for the study that sets them. Data only.
#pragma once

namespace kit {

// SORTBENCH_SEED=N seeds the run with N (decimal, 0..4294967295).
inline constexpr const char* kSeedVariable = "SORTBENCH_SEED";

// SORTBENCH_RECORD=F also writes the precise record of the run to F.
inline constexpr const char* kRecordVariable = "SORTBENCH_RECORD";

}  // namespace kit
