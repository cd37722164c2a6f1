#include "quickvscount/grid_duel.hpp"

namespace quickvscount {
namespace {

// The layout is a fixed text: it must fit the parameters it is printed with.
constexpr bool fits(const GridDuelProgram& program) {
  std::int64_t largest_range = 1;
  for (std::int32_t J = 0; J < program.ranges; ++J) largest_range *= 10;
  return program.layout.header.size() == 11 + 11 * static_cast<std::size_t>(program.ranges) &&
         program.layout.separator.size() == program.layout.header.size() && std::ranges::is_sorted(program.lengths) &&
         program.lengths.back() <= program.last_index && largest_range <= program.last_index;
}
static_assert(fits(kTallygrid));
// Every window of the precise record names the sort it timed.
static_assert(!kTallygrid.layout.first_kernel.empty() && !kTallygrid.layout.second_kernel.empty());

}  // namespace

void run_grid_duel(const GridDuelProgram& program, const kit::Instruments& instruments) {
  DuelKernels kernels;
  run_grid_duel_with(program, instruments, kernels);
}

}  // namespace quickvscount
