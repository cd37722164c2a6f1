// The charts of tallygrid's two tables: the heat map of quicksort time over
// counting sort time for every (length, range) cell, and both times against
// length, one plot per value range.
#pragma once

#include <string_view>

#include "study/chart_file.hpp"
#include "study/result_file.hpp"

namespace study {

ChartFile grid_heat_map(const ResultFile& result, std::string_view stem, std::string_view program);
ChartFile grid_times_by_range(const ResultFile& result, std::string_view stem, std::string_view program);

}  // namespace study
