// Why each answer is what it is, from the work a replay counted on a run's
// data: a sentence or two per program, and a table of the operations per
// element and the time of one, per row of the program's tables.
//   smallsix, smallfive: comparisons and moves per array of the sorts on
//     either side of the first change of the lead;
//   tallyduel: quicksort's comparisons against counting sort's counter
//     steps per element, where each sort wins most;
//   tallygrid: the same where counting sort first beats quicksort;
//   cutoffwide, cutoffnarrow: comparisons and moves per element against
//     the cutoff at the longest length, and where the fastest cutoff lies.
#pragma once

#include "analysis/records/program_grid.hpp"
#include "analysis/statistics/cell_work.hpp"
#include "analysis/verdicts/program_answers.hpp"

namespace analysis {

// Fills answer.why, answer.work_table and answer.work_legend.
void add_work(ProgramAnswer& answer, const ProgramGrid& grid, const ProgramWork& work);

}  // namespace analysis
