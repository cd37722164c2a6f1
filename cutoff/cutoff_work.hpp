// The work of a cutoff run, counted on its own data drawn again from its
// seed: every cell counted in full, REKQSORT and COMQSORT each on its own
// copy.
#pragma once

#include <cstdint>
#include <vector>

#include "cutoff/cutoff_parameters.hpp"
#include "kit/cell_work.hpp"

namespace cutoff {

// One CellWork per kernel and cell, in the record's places (table 0
// REKQSORT, table 1 COMQSORT). The two kernels of a cell count side by side
// when their copies and the data fit in `memory_limit` bytes.
std::vector<kit::CellWork> replay_cutoff_work(const CutoffProgram& program, std::uint32_t seed,
                                              std::int64_t memory_limit, const kit::ReplayProgress& progress = {});

}  // namespace cutoff
