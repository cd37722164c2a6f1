// The charts of each results form, one function per chart. With precise
// times, each drawn time is the median of the runs' times for its cell and
// each ratio the median of their paired ratios, both with their intervals
// over repeated runs.
#pragma once

#include <string_view>

#include "analysis/records/result_file.hpp"
#include "study/charts/chart_file.hpp"
#include "study/charts/precise_times.hpp"

namespace study {

// The small-array form (smallsix, smallfive): time per array against the
// array length, one line per algorithm.
ChartFile small_arrays_chart(const analysis::ResultFile& result, std::string_view stem, std::string_view program,
                             const PreciseTimes& precise = {});

// tallyduel's report blocks: both times of every input side by side, as bars.
ChartFile duel_chart(const analysis::ResultFile& result, std::string_view stem, std::string_view program,
                     const PreciseTimes& precise = {});

// tallygrid's two tables: the heat map of quicksort time over counting sort
// time for every (length, range) cell, and both times against length, one
// plot per value range.
ChartFile grid_heat_map(const analysis::ResultFile& result, std::string_view stem, std::string_view program,
                        const PreciseTimes& precise = {});
ChartFile grid_times_by_range(const analysis::ResultFile& result, std::string_view stem, std::string_view program,
                              const PreciseTimes& precise = {});

// The cutoff programs' two tables: combined over recursive quicksort time
// against the cutoff, one line per length; the fastest cutoff is the one of
// the lowest (median) time.
ChartFile cutoff_chart(const analysis::ResultFile& result, std::string_view stem, std::string_view program,
                       const PreciseTimes& precise = {});

}  // namespace study
