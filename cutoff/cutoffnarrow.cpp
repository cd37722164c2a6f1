// cutoffnarrow: recursive quicksort against quicksort with an insertion-sort cutoff,
// 5 array lengths of 20 to 60 million by the cutoffs 3 to 9 (ranges measured as K - Z + 1).
#include "cutoff/cutoff_programs.hpp"
#include "kit/run_environment.hpp"
#include "kit/runtime_error.hpp"

int main() {
  kit::prepare_process();
  cutoff::run_cutoff_sweep(cutoff::kCutoffnarrow, kit::instruments_from_environment(cutoff::kCutoffnarrow.name));
  return 0;
}
