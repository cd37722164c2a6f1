// The parameter set of tallyduel: its nine inputs, its array bound and the
// texts of its report blocks. Data only, so the study reads the program's
// facts from here without the driver.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "kit/kernel_names.hpp"
#include "quickvscount/input_table.hpp"

namespace quickvscount {

struct FileDuelProgram {
  const char* name;        // the program, as runtime errors list it
  std::int32_t last_slot;  // every POLE spans indices 0..last_slot
  InputTable inputs;       // counts and ranges, each at most last_slot
};

inline constexpr std::int32_t kTallyduelLastSlot = 20000000;
inline constexpr std::array<std::int32_t, 9> kTallyduelCounts{20000000, 10000000, 1000000, 1000, 100000,
                                                              10000000, 10,       10,      10};
inline constexpr std::array<std::int32_t, 9> kTallyduelRanges{10,       10,      10,       1000,    100000,
                                                              10000000, 1000000, 10000000, 20000000};
// Values index counting sort's count array, positions every array.
static_assert(std::ranges::max(kTallyduelCounts) <= kTallyduelLastSlot);
static_assert(std::ranges::max(kTallyduelRanges) <= kTallyduelLastSlot);

inline constexpr FileDuelProgram kTallyduel{
    .name = "tallyduel",
    .last_slot = kTallyduelLastSlot,
    .inputs = {.POCET_PRVKOV = kTallyduelCounts, .ROZSAH_VSTUPU = kTallyduelRanges},
};

// The tables of the precise record, one per sort, as the report lines name
// them, and the sort each times.
inline constexpr std::string_view kQuicksortTable = "Quicksort";
inline constexpr std::string_view kCountingsortTable = "Countingsort";
inline constexpr std::string_view kQuicksortKernel = kit::kQuicksortName.name;
inline constexpr std::string_view kCountingsortKernel = kit::kCountingSortName.name;

// The report block of input I: "Vstup c.I: pocet= N, rozsah= R", then the
// two time lines, whose labels are 19 characters each so both cells begin
// in column 20.
inline constexpr std::string_view kBlockStart = "Vstup c.";
inline constexpr std::string_view kBlockCount = ": pocet= ";
inline constexpr std::string_view kBlockRange = ", rozsah= ";
inline constexpr std::string_view kQuicksortLabel = "Cas Quicksortu:    ";
inline constexpr std::string_view kCountingsortLabel = "Cas Countingsortu: ";

}  // namespace quickvscount
