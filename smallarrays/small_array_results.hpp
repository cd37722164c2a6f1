// ZAPIS_DO_SUB of the small-array benchmark: the one-table results file.
#pragma once

#include <span>

#include "kit/stopwatch.hpp"
#include "kit/text_output.hpp"
#include "smallarrays/small_array_benchmark.hpp"

namespace smallarrays {

// Writes the caption, the header and one row line per length, each followed
// by the separator: 4 + 2R lines. TAB holds the cells row by row.
void ZAPIS_DO_SUB(kit::LineOutput& PROTOKOL, const SmallArrayProgram& program, std::span<const kit::TimeCell> TAB);

}  // namespace smallarrays
