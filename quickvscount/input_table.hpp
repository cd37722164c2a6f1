// The parameter table of the file-driven duel's inputs: what MAKEFILE
// writes to "vstup.in" and the duel reads back. Data only.
#pragma once

#include <cstdint>
#include <span>

namespace quickvscount {

// Entry i - 1 describes input i.
struct InputTable {
  std::span<const std::int32_t> POCET_PRVKOV;   // number of values of each input
  std::span<const std::int32_t> ROZSAH_VSTUPU;  // every value of an input lies in 1..range
};

}  // namespace quickvscount
