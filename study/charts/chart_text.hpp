// The words the charts use for where their times come from and what their
// intervals hold, worded once from the coverage the data support.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "kit/kernel_names.hpp"
#include "study/charts/chart_data.hpp"

namespace study {

// The two sorts that tallyduel and tallygrid race, in table order.
inline constexpr std::array<kit::KernelName, 2> kRacedSorts{kit::kQuicksortName, kit::kCountingSortName};

// A sort in a legend: "QSORT  quicksort".
std::string legend_entry(const kit::KernelName& kernel);

// What an interval is called by its coverage: "95 % interval" once it
// reaches the conventional 95 %, else its own, "75 % interval".
std::string interval_name(const Coverage& coverage);

// The legend entry of the medians' bars: "95 % interval of the median", or
// "min to max of 3 runs (a 75 % interval)"; empty below two runs.
std::string interval_label(const Coverage& coverage);
// The same broken before its parenthesis, to fit the width of a legend.
std::vector<std::string> interval_label_lines(const Coverage& coverage);

// Where the times come from: "precise times from the run's record", or
// "medians of 3 runs' precise times".
std::string runs_note(const Coverage& coverage);

// The same with what the bars show, from two runs on:
// "medians of 3 runs' precise times; bars: min to max of 3 runs (a 75 % interval)".
std::string source_note(const Coverage& coverage);

// What the comparison's bars show: "bars the 95 % interval", "bars a 75 %
// interval", "bars at least a 75 % interval" when the cells' differ, or
// "no interval from one run each".
std::string comparison_bars(const Coverage& coverage);

// An interval of ratios: "2.9–3.1".
std::string ratio_interval_text(const ValueInterval& interval);

}  // namespace study
