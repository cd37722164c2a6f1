#include "kit/seed_choice.hpp"

#include "kit/record/record_format.hpp"

namespace kit {

std::optional<std::uint32_t> parse_seed(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    // Checked digit by digit, so leading zeros are fine and no length overflows.
    if (value > UINT32_MAX) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

SeedChoice seed_for_run(const Instruments& instruments) {
  if (instruments.chosen_seed) return {*instruments.chosen_seed, SeedSource::kChosen};
  return {instruments.read_seed(), SeedSource::kTickCount};
}

std::string_view seed_source_name(SeedSource source) {
  return source == SeedSource::kChosen ? record::kChosenSeed : record::kTickCountSeed;
}

}  // namespace kit
