// The chart of the cutoff programs' two tables: combined over recursive
// quicksort time against the cutoff, one line per length.
#pragma once

#include <string_view>

#include "analysis/records/result_file.hpp"
#include "study/charts/chart_file.hpp"
#include "study/charts/precise_times.hpp"

namespace study {

// With precise times, each ratio is the median of the runs' paired ratios
// with its interval, and the fastest cutoff is the lowest median time.
ChartFile cutoff_chart(const analysis::ResultFile& result, std::string_view stem, std::string_view program,
                       const PreciseTimes& precise = {});

}  // namespace study
