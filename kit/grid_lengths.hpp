// The array lengths that label the rows of tallygrid's tables and of
// cutoffwide's: one table, so the two programs cannot drift apart.
#pragma once

#include <array>
#include <cstdint>

namespace kit {

inline constexpr std::array<std::int32_t, 12> kGridLengths{10000,   20000,   50000,   100000,   200000,   500000,
                                                           1000000, 2000000, 5000000, 10000000, 20000000, 50000000};

}  // namespace kit
