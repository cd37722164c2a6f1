// The chart of tallyduel's report blocks: both times of every input side by
// side.
#pragma once

#include <string_view>

#include "analysis/records/result_file.hpp"
#include "study/charts/chart_file.hpp"
#include "study/charts/precise_times.hpp"

namespace study {

// With precise times, each bar is the median time, with its interval over
// repeated runs.
ChartFile duel_chart(const analysis::ResultFile& result, std::string_view stem, std::string_view program,
                     const PreciseTimes& precise = {});

}  // namespace study
