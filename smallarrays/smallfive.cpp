// smallfive: five comparison sorts on 500,000 short arrays of 70 to 160 elements.
#include "kit/run_environment.hpp"
#include "kit/runtime_error.hpp"
#include "smallarrays/small_array_programs.hpp"

int main() {
  kit::prepare_process();
  smallarrays::run_small_array_benchmark(smallarrays::kSmallfive,
                                         kit::instruments_from_environment(smallarrays::kSmallfive.name));
  return 0;
}
