// tallyduel: quicksort against counting sort on nine inputs passed through "vstup.in".
#include "kit/runtime_error.hpp"
#include "quickvscount/file_duel_program.hpp"

int main() {
  kit::prepare_process();
  quickvscount::run_file_duel(quickvscount::kTallyduel);
  return 0;
}
