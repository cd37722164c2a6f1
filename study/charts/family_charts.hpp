// The charts of each results form, one function per chart, drawn from the
// chart data of one results file. With precise times, each drawn time is
// the median of the runs' times for its cell and each ratio the median of
// their paired ratios, both with their intervals over repeated runs.
#pragma once

#include <string_view>

#include "study/charts/chart_data.hpp"

namespace study {

// The small-array form (smallsix, smallfive): time per array against the
// array length, one line per algorithm.
ChartFile small_arrays_chart(const ChartData& data, std::string_view stem, std::string_view program);

// tallyduel's report blocks: both times of every input side by side, as bars.
ChartFile duel_chart(const ChartData& data, std::string_view stem, std::string_view program);

// tallygrid's two tables: the heat map of quicksort time over counting sort
// time for every (length, range) cell, and both times against length, one
// plot per value range.
ChartFile grid_heat_map(const ChartData& data, std::string_view stem, std::string_view program);
ChartFile grid_times_by_range(const ChartData& data, std::string_view stem, std::string_view program);

// The cutoff programs' two tables: combined over recursive quicksort time
// against the cutoff, one line per length; the fastest cutoff is the one of
// the lowest (median) time.
ChartFile cutoff_chart(const ChartData& data, std::string_view stem, std::string_view program);

}  // namespace study
