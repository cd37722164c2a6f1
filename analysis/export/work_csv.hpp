// counts.csv: the work a replay counted in each cell of one program, one
// line per cell and sort, and the time per operation from the cell's median
// precise time. Counts are per array of the cell's batch: exact where every
// array was counted, a sample's mean (with its standard error) elsewhere.
#pragma once

#include <string>

#include "analysis/records/program_grid.hpp"
#include "analysis/statistics/cell_work.hpp"

namespace analysis {

// `grid`: the program's complete runs, for the times; nullptr for none.
std::string work_csv(const ProgramWork& work, const ProgramGrid* grid);

}  // namespace analysis
