// The charts of tallygrid's two tables: the heat map of quicksort time over
// counting sort time for every (length, range) cell, and both times against
// length, one plot per value range.
#pragma once

#include <string_view>

#include "analysis/records/result_file.hpp"
#include "study/charts/chart_file.hpp"
#include "study/charts/precise_times.hpp"

namespace study {

// With precise times, the heat map shows each cell's median ratio (and,
// over repeated runs, its interval), and the plots the median times with
// their intervals.
ChartFile grid_heat_map(const analysis::ResultFile& result, std::string_view stem, std::string_view program,
                        const PreciseTimes& precise = {});
ChartFile grid_times_by_range(const analysis::ResultFile& result, std::string_view stem, std::string_view program,
                              const PreciseTimes& precise = {});

}  // namespace study
