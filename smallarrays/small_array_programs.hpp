// smallsix and smallfive: the driver of the small-array benchmark and the
// two parameter sets it runs with.
#pragma once

#include "smallarrays/small_array_benchmark.hpp"
#include "smallarrays/small_array_parameters.hpp"
