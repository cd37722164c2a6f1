// The noise model of the decisions below three runs: the spread of one cell
// that the one run cannot measure for itself. It is the largest of what is
// known about it, so that no source can make an interval narrower than
// another one says it is:
//   - the suite's stated prior, kPriorCellSpread;
//   - the spread the study's calibration measured on the machine just
//     before the runs, where the run folder holds it;
//   - the spread the run itself shows where it repeats a measurement (the
//     cutoff programs' recursive quicksort row).
// The source names the one used, and the calibration when it was lower.
#pragma once

#include <optional>

#include "analysis/records/program_grid.hpp"
#include "analysis/statistics/decision.hpp"

namespace analysis {

// The part of a cell's run-to-run spread that a calibration of a second
// cannot see: the cells lie minutes apart, each times its own window (tens
// of microseconds to seconds), and the machine drifts between them. Learned
// from ten recorded runs each of tallygrid and tallyduel on the suite's
// 2-core machine (tests/analysis/data/recorded/), their disturbed windows
// left out as every decision leaves them out: their one-run intervals held
// 95 % at a spread of 18 % per cell, while ten calibrations just after them
// measured 2.2 to 16.5 % (median 6.5 %), and the two add as independent
// noise: √(18² - 6.5²) = 17 %. Learned on a busy machine, it errs wide on a
// quiet one.
inline constexpr double kUnseenRunSpread = 0.17;

// The spread per cell of a run made when one kernel's repeated times
// spread `kernel_spread` (the calibration's σ): √(σ² + kUnseenRunSpread²).
double calibrated_cell_spread(double kernel_spread);

NoiseModel noise_model(std::optional<double> calibrated_spread, const std::optional<NoiseModel>& own = std::nullopt);

// The model for one program's runs, with the calibration they were made under.
NoiseModel noise_model(const ProgramGrid& grid, const std::optional<NoiseModel>& own = std::nullopt);

}  // namespace analysis
