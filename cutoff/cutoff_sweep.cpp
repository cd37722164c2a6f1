#include "cutoff/cutoff_sweep.hpp"

#include "cutoff/cutoff_programs.hpp"

namespace cutoff {
namespace {

// The layout is a fixed text: it must fit the parameters it is printed with.
constexpr bool fits(const CutoffProgram& program) {
  return program.layout.header.size() == 11 + 11 * static_cast<std::size_t>(program.cutoffs) &&
         program.layout.separator.size() == program.layout.header.size() && std::ranges::is_sorted(program.lengths) &&
         program.lengths.back() <= program.last_index;
}
static_assert(fits(kCutoffwide));
static_assert(fits(kCutoffnarrow));
// Every window of the precise record names the sort it timed.
static_assert(!kCutoffwide.layout.first_kernel.empty() && !kCutoffwide.layout.second_kernel.empty());
static_assert(!kCutoffnarrow.layout.first_kernel.empty() && !kCutoffnarrow.layout.second_kernel.empty());

}  // namespace

void run_cutoff_sweep(const CutoffProgram& program, const kit::Instruments& instruments) {
  CutoffKernels kernels;
  run_cutoff_sweep_with(program, instruments, kernels);
}

}  // namespace cutoff
