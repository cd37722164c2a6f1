// The chart of tallyduel's report blocks: both times of every input side by
// side.
#pragma once

#include <string_view>

#include "study/chart_file.hpp"
#include "study/precise_times.hpp"
#include "study/result_file.hpp"

namespace study {

// With precise times, each bar is the median time, with its interval over
// repeated runs.
ChartFile duel_chart(const ResultFile& result, std::string_view stem, std::string_view program,
                     const PreciseTimes& precise = {});

}  // namespace study
