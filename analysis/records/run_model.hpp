// The one model of what a study or a run folder measured: every record read
// once into its measurements, and per program the grid of its complete
// runs. The verdicts, results.json and results.csv, the median charts and
// the comparison of two studies all read this model, so they cannot tell
// different stories and none of them regroups the measurements again.
#pragma once

#include <optional>
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

// `calibrated_spread`: what the study's calibration measured on the machine
// that made the runs, handed to every program's grid.
RunModel run_model(MeasurementSet measurements, std::optional<double> calibrated_spread = std::nullopt);

}  // namespace analysis
