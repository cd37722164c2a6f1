// The chart of the cutoff programs' two tables: combined over recursive
// quicksort time against the cutoff, one line per length.
#pragma once

#include <string_view>

#include "study/chart_file.hpp"
#include "study/precise_times.hpp"
#include "study/result_file.hpp"

namespace study {

// With precise times, each ratio is the median of the runs' paired ratios
// with its interval, and the fastest cutoff is the lowest median time.
ChartFile cutoff_chart(const ResultFile& result, std::string_view stem, std::string_view program,
                       const PreciseTimes& precise = {});

}  // namespace study
