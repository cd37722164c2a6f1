// tallyduel: quicksort against counting sort on nine inputs passed through "vstup.in".
#include "kit/run_environment.hpp"
#include "kit/runtime_error.hpp"
#include "quickvscount/file_duel_program.hpp"

int main() {
  kit::prepare_process();
  quickvscount::run_file_duel(quickvscount::kTallyduel,
                              kit::instruments_from_environment(quickvscount::kTallyduel.name));
  return 0;
}
