// The chart of one program's comparison: per cell the ratio B / A of the
// medians as a dot, its interval as an error bar, a line at 1 (no change),
// the kernels side by side in their own colours.
#pragma once

#include <string>
#include <vector>

#include "analysis/statistics/run_comparison.hpp"

namespace study {

std::string ratio_chart_svg(const std::string& program, const std::vector<analysis::RatioSeries>& series);

}  // namespace study
