// The work of a duel's run, counted on its own data drawn again from its
// seed: every cell counted in full, QSORT and CSORT each on its own copy.
#pragma once

#include <cstdint>
#include <vector>

#include "kit/cell_work.hpp"
#include "quickvscount/file_duel_parameters.hpp"
#include "quickvscount/grid_duel_parameters.hpp"

namespace quickvscount {

// One CellWork per kernel and cell, in the record's places (table 0 QSORT,
// table 1 CSORT). The two kernels of a cell count side by side when their
// copies and the data fit in `memory_limit` bytes, else one after the other.
std::vector<kit::CellWork> replay_grid_duel_work(const GridDuelProgram& program, std::uint32_t seed,
                                                 std::int64_t memory_limit, const kit::ReplayProgress& progress = {});
std::vector<kit::CellWork> replay_file_duel_work(const FileDuelProgram& program, std::uint32_t seed,
                                                 std::int64_t memory_limit, const kit::ReplayProgress& progress = {});

}  // namespace quickvscount
