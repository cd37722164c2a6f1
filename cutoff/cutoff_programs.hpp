// cutoffwide and cutoffnarrow: the cutoff sweep and the two parameter sets
// it runs with.
#pragma once

#include "cutoff/cutoff_parameters.hpp"
#include "cutoff/cutoff_sweep.hpp"
