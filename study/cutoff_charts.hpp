// The chart of the cutoff programs' two tables: combined over recursive
// quicksort time against the cutoff, one line per length.
#pragma once

#include <string_view>

#include "study/chart_file.hpp"
#include "study/result_file.hpp"

namespace study {

ChartFile cutoff_chart(const ResultFile& result, std::string_view stem, std::string_view program);

}  // namespace study
