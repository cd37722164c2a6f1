#include "cutoff/cutoff_sweep.hpp"

#include "cutoff/cutoff_programs.hpp"

namespace cutoff {

static_assert(kit::layout_fits(plan_of(kCutoffwide), kCutoffwide.last_index));
static_assert(kit::layout_fits(plan_of(kCutoffnarrow), kCutoffnarrow.last_index));

void run_cutoff_sweep(const CutoffProgram& program, const kit::Instruments& instruments) {
  CutoffKernels kernels;
  run_cutoff_sweep_with(program, instruments, kernels);
}

}  // namespace cutoff
