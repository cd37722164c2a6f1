// The size of the buffer "vstup.in" is read through. Data only, so the tools
// count it in the duel's memory without the reader.
#pragma once

#include <cstddef>

namespace quickvscount {

inline constexpr std::size_t kInputBufferBytes = std::size_t{1} << 20;

}  // namespace quickvscount
