// The chart of tallyduel's report blocks: both times of every input side by
// side.
#pragma once

#include <string_view>

#include "study/chart_file.hpp"
#include "study/result_file.hpp"

namespace study {

ChartFile duel_chart(const ResultFile& result, std::string_view stem, std::string_view program);

}  // namespace study
