// The values of the duel's inputs in the order they are drawn: input after
// input, a line of up to 1000 values at a time in one bulk fill. MAKEFILE
// writes them to "vstup.in"; the replay of a run's data draws them again
// from its seed through the same code.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "kit/random_source.hpp"

namespace quickvscount {

// The values of one input of `count` values in 1..range: `line(drawn,
// first, n)` gets each line's n values, the first of them value number
// `first` (counted from 1) of the input.
template <class Line>
void draw_input_values(kit::RandomSource& random, std::int32_t count, std::int32_t range, Line&& line) {
  std::array<std::int32_t, 1000> drawn{};
  for (std::int32_t line_first = 1; line_first <= count; line_first += static_cast<std::int32_t>(drawn.size())) {
    const std::int32_t line_count = std::min(static_cast<std::int32_t>(drawn.size()), count - line_first + 1);
    random.fill_from_one_to(drawn.data(), static_cast<std::size_t>(line_count), range);
    line(drawn.data(), line_first, line_count);
  }
}

}  // namespace quickvscount
