// smallsix: six comparison sorts on 1,000,000 short arrays of 5 to 80 elements.
#include "kit/run_environment.hpp"
#include "kit/runtime_error.hpp"
#include "smallarrays/small_array_programs.hpp"

int main() {
  kit::prepare_process();
  smallarrays::run_small_array_benchmark(smallarrays::kSmallsix,
                                         kit::instruments_from_environment(smallarrays::kSmallsix.name));
  return 0;
}
