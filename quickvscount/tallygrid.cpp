// tallygrid: quicksort against counting sort over 12 array lengths by 7 value ranges.
#include "kit/run_environment.hpp"
#include "kit/runtime_error.hpp"
#include "quickvscount/grid_duel.hpp"

int main() {
  kit::prepare_process();
  quickvscount::run_grid_duel(quickvscount::kTallygrid,
                              kit::instruments_from_environment(quickvscount::kTallygrid.name));
  return 0;
}
