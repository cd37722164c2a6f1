// The chart of the small-array form (smallsix, smallfive): time per array
// against the array length, one line per algorithm.
#pragma once

#include <string_view>

#include "analysis/records/result_file.hpp"
#include "study/charts/chart_file.hpp"
#include "study/charts/precise_times.hpp"

namespace study {

// With precise times, each point is the cell's median and carries its interval.
ChartFile small_arrays_chart(const analysis::ResultFile& result, std::string_view stem, std::string_view program,
                             const PreciseTimes& precise = {});

}  // namespace study
