#include "analysis/records/run_model.hpp"

#include <utility>

namespace analysis {

const ProgramGrid* RunModel::program(std::string_view name) const {
  for (const ProgramGrid& grid : programs) {
    if (grid.program == name) return &grid;
  }
  return nullptr;
}

RunModel run_model(MeasurementSet measurements) {
  RunModel model{std::move(measurements), {}};
  model.programs = program_grids(model.measurements);
  return model;
}

}  // namespace analysis
