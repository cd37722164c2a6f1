// The long CSV of a study: one line per timed window and run, with the
// header program,table,row,column,repeat,seed,hundredths,nanoseconds, then
// the window's evidence: cpu_nanoseconds,involuntary_switches,migrations,
// cycles,instructions,branch_misses,cache_misses, each empty where the
// record does not hold it. Fields holding a comma, a quote or a line break
// are quoted, quotes doubled.
#pragma once

#include <string>

#include "analysis/records/measurement.hpp"

namespace analysis {

enum class RunSelection {
  complete,    // the data to analyse
  incomplete,  // the windows of runs that did not finish, kept apart
};

// Lines end with a line feed; measurements keep the set's order.
std::string long_csv(const MeasurementSet& set, RunSelection selection = RunSelection::complete);

}  // namespace analysis
