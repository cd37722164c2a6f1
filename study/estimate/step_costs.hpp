// What each progress step of a program costs, worked out from its parameter
// set: the sorts it times and the data it draws, copies and reads. Costs are
// in nominal seconds (rough figures of an idle reference machine); only
// their ratios are trusted, and the time estimate scales the two parts of a
// step apart by the times it sees.
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/programs/suite_programs.hpp"

namespace study {

struct StepCost {
  double n_log_n = 0;  // the comparison sorts whose work grows as n log n: quicksorts, merge and heap sort
  double other = 0;    // quadratic sorts, counting sort, and drawing, copying, clearing and file work
  double total() const { return n_log_n + other; }
};

struct ProgramCost {
  StepCost start;               // before the first step: the arrays obtained and cleared, an input file written
  std::vector<StepCost> steps;  // steps[i]: from step i to step i + 1 (one per progress line)
};

ProgramCost program_cost(const analysis::SuiteProgram& program);

// The cost of the start and the first `steps` (at most all) steps; 0 for none.
double cost_through(const ProgramCost& cost, int steps);

// The share of a whole run's cost done once `steps` steps are done; the
// start counts as done with the first step.
double cost_share(const ProgramCost& cost, int steps);

// Element-levels of quicksort on n keys drawn from 1..k: once a range holds
// one value it is still halved at every level (the scans stop on equal
// keys), but those levels run without mispredicted branches and cost a
// fraction of a level over distinct keys.
double quicksort_work(std::int64_t n, std::int64_t k);

}  // namespace study
