#include "analysis/statistics/noise_model.hpp"

#include <fmt/format.h>

#include <cmath>

#include "analysis/text/text_format.hpp"

namespace analysis {

double calibrated_cell_spread(double kernel_spread) { return std::hypot(kernel_spread, kUnseenRunSpread); }

NoiseModel noise_model(std::optional<double> calibrated_spread, const std::optional<NoiseModel>& own) {
  NoiseModel model;
  if (calibrated_spread && *calibrated_spread > model.cell_spread) {
    model = NoiseModel{*calibrated_spread, "this machine's run-to-run spread of " + format_percent(*calibrated_spread) +
                                               " per cell, calibrated, above the stated prior of " +
                                               fmt::format("{:g} %", 100 * kPriorCellSpread)};
  } else if (calibrated_spread) {
    model.source += ", above this machine's calibrated " + format_percent(*calibrated_spread);
  }
  if (own && own->cell_spread > model.cell_spread) return *own;
  return model;
}

NoiseModel noise_model(const ProgramGrid& grid, const std::optional<NoiseModel>& own) {
  return noise_model(grid.calibrated_spread, own);
}

}  // namespace analysis
