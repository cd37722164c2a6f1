// One short paragraph per program that answers its question with intervals
// and N, saying "not distinguishable at this N" where that is the answer.
#pragma once

#include <string>
#include <vector>

#include "analysis/records/program_grid.hpp"
#include "analysis/records/run_model.hpp"

namespace analysis {

struct Verdict {
  std::string program;
  std::string text;
};

// smallsix, smallfive: the fastest sort per length and the lengths where the
// ranking changes.
std::string small_array_verdict(const ProgramGrid& grid);

// tallyduel: the faster sort per input and by what factor.
std::string file_duel_verdict(const ProgramGrid& grid);

// tallygrid: per value range the shortest length from which counting sort is
// faster and stays faster.
std::string grid_duel_verdict(const ProgramGrid& grid);

// cutoffwide, cutoffnarrow: per length the best cutoff, its gain over the
// recursive quicksort, and the cutoffs within noise of it.
std::string cutoff_verdict(const ProgramGrid& grid);

// The verdict for the grid's program; a ranking per position for a program
// the suite does not know.
std::string program_verdict(const ProgramGrid& grid);

// One verdict per program of the model, in its order.
std::vector<Verdict> verdicts(const RunModel& model);

}  // namespace analysis
