// cutoffwide: recursive quicksort against quicksort with an insertion-sort cutoff,
// 12 array lengths by the cutoffs 21 to 29 (ranges measured as K - Z).
#include "cutoff/cutoff_programs.hpp"
#include "kit/run_environment.hpp"
#include "kit/runtime_error.hpp"

int main() {
  kit::prepare_process();
  cutoff::run_cutoff_sweep(cutoff::kCutoffwide, kit::instruments_from_environment(cutoff::kCutoffwide.name));
  return 0;
}
