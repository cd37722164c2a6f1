// The programs' real drivers run scaled down, each in a child process, with
// a clock that makes every timed batch last 7 hundredths: what the tools
// know of each program is held against these runs.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "cutoff/cutoff_parameters.hpp"
#include "kit/instruments.hpp"
#include "quickvscount/file_duel_parameters.hpp"
#include "quickvscount/grid_duel_parameters.hpp"
#include "smallarrays/small_array_parameters.hpp"
#include "support/test_support.hpp"

namespace fixtures {

struct DriverRun {
  std::string console;
  std::string results;
  std::int64_t memory_growth = 0;  // of the child's peak resident memory while the driver ran
};

class ScaledDriver : public ::testing::Test {
 protected:
  void SetUp() override;
  DriverRun run(const std::function<void(const kit::Instruments&)>& driver);

  test_support::ScratchDirectory scratch;
};

// One parameter set of each driver, scaled down to a few rows and, where
// the arrays are long, arrays of 8 MB.
smallarrays::SmallArrayProgram scaled_small_arrays();
// Its header names just its two columns, so the layout is not the suite's.
quickvscount::GridDuelProgram scaled_grid_duel();
cutoff::CutoffProgram scaled_cutoff_sweep();
quickvscount::FileDuelProgram scaled_file_duel();

}  // namespace fixtures
