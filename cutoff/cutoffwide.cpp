// cutoffwide: recursive quicksort against quicksort with an insertion-sort cutoff,
// 12 array lengths by the cutoffs 21 to 29 (ranges measured as K - Z).
#include "cutoff/cutoff_programs.hpp"
#include "kit/runtime_error.hpp"

int main() {
  kit::prepare_process();
  cutoff::run_cutoff_sweep(cutoff::kCutoffwide);
  return 0;
}
