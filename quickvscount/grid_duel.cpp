#include "quickvscount/grid_duel.hpp"

namespace quickvscount {
namespace {

// The last column draws from 1..10^ranges: CSORT's C must hold that range too.
constexpr bool ranges_fit(const GridDuelProgram& program) {
  std::int64_t largest_range = 1;
  for (std::int32_t J = 0; J < program.ranges; ++J) largest_range *= 10;
  return largest_range <= program.last_index;
}
static_assert(kit::layout_fits(plan_of(kTallygrid), kTallygrid.last_index) && ranges_fit(kTallygrid));

}  // namespace

void run_grid_duel(const GridDuelProgram& program, const kit::Instruments& instruments) {
  DuelKernels kernels;
  run_grid_duel_with(program, instruments, kernels);
}

}  // namespace quickvscount
