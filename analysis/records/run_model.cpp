#include "analysis/records/run_model.hpp"

#include <utility>

namespace analysis {

const ProgramGrid* RunModel::program(std::string_view name) const {
  for (const ProgramGrid& grid : programs) {
    if (grid.program == name) return &grid;
  }
  return nullptr;
}

RunModel run_model(MeasurementSet measurements, std::optional<double> calibrated_spread) {
  RunModel model{std::move(measurements), {}};
  model.programs = program_grids(model.measurements);
  for (ProgramGrid& grid : model.programs) grid.calibrated_spread = calibrated_spread;
  return model;
}

}  // namespace analysis
