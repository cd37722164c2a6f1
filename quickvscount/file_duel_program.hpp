// tallyduel: the file-driven duel and the parameter set it runs with.
#pragma once

#include "quickvscount/file_duel.hpp"
#include "quickvscount/file_duel_parameters.hpp"
