// The work of a small-array run, counted on its own data drawn again from
// its seed: the patterns of every length filled as the run fills them, and
// each sort counted on an evenly spaced sample of the batch's arrays.
#pragma once

#include <cstdint>
#include <vector>

#include "kit/cell_work.hpp"
#include "smallarrays/small_array_parameters.hpp"

namespace smallarrays {

// Every 20th array: counting a batch's every array would take longer than
// the run that timed it.
inline constexpr std::int32_t kSampleSpacing = 20;

// One CellWork per (length, sort) cell, in the record's places (table 0).
// `sample`: the arrays counted per cell, evenly spaced; all when it is at
// least program.arrays.
std::vector<kit::CellWork> replay_small_array_work(const SmallArrayProgram& program, std::uint32_t seed,
                                                   std::int32_t sample, const kit::ReplayProgress& progress = {});

// The sample a study counts: every kSampleSpacing-th array.
constexpr std::int32_t study_sample(const SmallArrayProgram& program) {
  return (program.arrays + kSampleSpacing - 1) / kSampleSpacing;
}

}  // namespace smallarrays
