// The charts of the work behind a program's times, from the counts a
// replay made on one run's data and the cells' median times:
//   time per operation against length, one line per sort (each point the
//   median over the row's columns), for every program with lengths;
//   for the cutoff programs also comparisons and moves per element against
//   the cutoff, one line per length.
#pragma once

#include <string_view>
#include <vector>

#include "analysis/records/program_grid.hpp"
#include "analysis/statistics/cell_work.hpp"
#include "study/charts/chart_file.hpp"

namespace study {

// Charts named "<stem>-<chart>.svg"; none for tallyduel, whose inputs are
// no series of lengths.
std::vector<ChartFile> work_charts(const analysis::ProgramGrid& grid, const analysis::ProgramWork& work,
                                   std::string_view stem);

}  // namespace study
