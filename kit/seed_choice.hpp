// The seed of a run: the tick count, as every run has it, or a seed chosen
// in SORTBENCH_SEED, so that a run's data can be drawn again exactly.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "kit/instruments.hpp"

namespace kit {

enum class SeedSource { kTickCount, kChosen };

struct SeedChoice {
  std::uint32_t value = 0;
  SeedSource source = SeedSource::kTickCount;
};

// A decimal number from 0 to 4294967295: digits only, at least one, with no
// sign, no spaces and nothing after them. Anything else is no seed.
std::optional<std::uint32_t> parse_seed(std::string_view text);

// The chosen seed when there is one, else one reading of read_seed.
SeedChoice seed_for_run(const Instruments& instruments);

// How a record names the source: "tick_count" or "SORTBENCH_SEED".
std::string_view seed_source_name(SeedSource source);

}  // namespace kit
