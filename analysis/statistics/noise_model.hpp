// The noise model of the decisions below three runs: the spread of one cell
// that the one run cannot measure for itself. It is the largest of what is
// known about it, so that no source can make an interval narrower than
// another one says it is:
//   - the suite's stated prior, kPriorCellSpread;
//   - the spread the study's calibration measured on the machine just
//     before the runs, where the run folder holds it, and with it what
//     other work adds where the runs' own windows show some;
//   - the spread the run itself shows where it repeats a measurement (the
//     cutoff programs' recursive quicksort row).
// The source names the one used, and the calibration when it was lower.
#pragma once

#include <cstddef>
#include <optional>

#include "analysis/records/program_grid.hpp"
#include "analysis/statistics/decision.hpp"

namespace analysis {

// The part of a cell's run-to-run spread that a calibration of a second
// cannot see while other work shares the machine: the cells lie minutes
// apart, each times its own window (tens of microseconds to seconds), and
// the other work comes and goes between them. Learned from ten recorded
// runs each of tallygrid and tallyduel on the suite's 2-core machine under
// a load of 2.5 to 3.6 (tests/analysis/data/recorded/busy/, a third of
// their windows disturbed), their disturbed windows left out as every
// decision leaves them out: their one-run intervals held 95 % at a spread
// of 18 % per cell, while ten calibrations just after them measured 2.2 to
// 16.5 % (median 6.5 %), and the two add as independent noise:
// √(18² - 6.5²) = 17 %. On a quiet machine of the same kind
// (recorded/quiet/, 2 of 1,860 windows disturbed) the stated prior held
// 95.4 % without it: the part belongs to the other work, not the machine.
inline constexpr double kOtherWorkSpread = 0.17;

// A program's runs show other work when more than one of their windows and
// more than this share of them were disturbed: a lone disturbed window is
// a hiccup, runs that lose more than one window in twenty share the machine.
inline constexpr double kOtherWorkWindowShare = 0.05;
bool shows_other_work(std::size_t disturbed_windows, std::size_t windows);

// `calibrated_spread`: the calibration's σ, where the runs' folder holds one;
// `other_work`: whether the runs' windows show other work, which makes the
// spread per cell √(σ² + kOtherWorkSpread²).
NoiseModel noise_model(std::optional<double> calibrated_spread, bool other_work = false,
                       const std::optional<NoiseModel>& own = std::nullopt);

// The model for one program's runs, with the calibration they were made
// under and the other work their windows show.
NoiseModel noise_model(const ProgramGrid& grid, const std::optional<NoiseModel>& own = std::nullopt);

}  // namespace analysis
