// The one model of what a study or a run folder measured: every record read
// once into its measurements, and per program the grid of its complete
// runs. The verdicts, results.json and results.csv, the median charts and
// the comparison of two studies all read this model, so they cannot tell
// different stories and none of them regroups the measurements again.
#pragma once

#include <string_view>
#include <vector>

#include "analysis/records/measurement.hpp"
#include "analysis/records/program_grid.hpp"

namespace analysis {

struct RunModel {
  MeasurementSet measurements;        // in the order recorded
  std::vector<ProgramGrid> programs;  // in the order first recorded

  bool empty() const { return measurements.empty(); }
  // The grid of one program; nullptr when the model holds none of its runs.
  const ProgramGrid* program(std::string_view name) const;
};

RunModel run_model(MeasurementSet measurements);

}  // namespace analysis
