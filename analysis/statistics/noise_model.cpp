#include "analysis/statistics/noise_model.hpp"

#include <fmt/format.h>

#include <cmath>
#include <cstddef>
#include <string>

#include "analysis/text/text_format.hpp"

namespace analysis {

NoiseModel noise_model(std::optional<double> calibrated_spread, bool other_work, const std::optional<NoiseModel>& own) {
  NoiseModel model;
  const std::string prior = fmt::format("{:g} %", 100 * kPriorCellSpread);
  if (other_work) {
    const double spread = std::hypot(calibrated_spread.value_or(0.0), kOtherWorkSpread);
    model = NoiseModel{spread, "this machine's run-to-run spread of " + format_percent(spread) +
                                   " per cell with other work running, above the stated prior of " + prior};
  } else if (calibrated_spread && *calibrated_spread > model.cell_spread) {
    model = NoiseModel{*calibrated_spread, "this machine's run-to-run spread of " + format_percent(*calibrated_spread) +
                                               " per cell, calibrated, above the stated prior of " + prior};
  } else if (calibrated_spread) {
    model.source += ", above this machine's calibrated " + format_percent(*calibrated_spread);
  }
  if (own && own->cell_spread > model.cell_spread) return *own;
  return model;
}

bool shows_other_work(std::size_t disturbed_windows, std::size_t windows) {
  return disturbed_windows > 1 &&
         static_cast<double>(disturbed_windows) > kOtherWorkWindowShare * static_cast<double>(windows);
}

NoiseModel noise_model(const ProgramGrid& grid, const std::optional<NoiseModel>& own) {
  return noise_model(grid.calibrated_spread, shows_other_work(grid.disturbed_windows(), grid.windows()), own);
}

}  // namespace analysis
