// The chart of the small-array form (smallsix, smallfive): time per array
// against the array length, one line per algorithm.
#pragma once

#include <string_view>

#include "study/chart_file.hpp"
#include "study/precise_times.hpp"
#include "study/result_file.hpp"

namespace study {

// With precise times, each point is the cell's median and carries its interval.
ChartFile small_arrays_chart(const ResultFile& result, std::string_view stem, std::string_view program,
                             const PreciseTimes& precise = {});

}  // namespace study
