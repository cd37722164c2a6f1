// tallygrid: quicksort against counting sort over 12 array lengths by 7 value ranges.
#include "kit/runtime_error.hpp"
#include "quickvscount/grid_duel.hpp"

int main() {
  kit::prepare_process();
  quickvscount::run_grid_duel(quickvscount::kTallygrid);
  return 0;
}
