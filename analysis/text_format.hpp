// Numbers as the verdicts and summary lines write them.
#pragma once

#include <string>

#include "analysis/cell_statistics.hpp"

namespace analysis {

// Three significant digits in ns, µs, ms or s: "712 ns", "4.56 ms", "1.20 s".
std::string format_time(double nanoseconds);

// Three significant digits and "×": "1.25×", "14.2×", "2500×".
std::string format_factor(double factor);

// A fraction as a percentage with one decimal: 0.031 -> "3.1 %".
std::string format_percent(double fraction);

// Two fractions as a range of percentages: "13.3 to 18.3 %".
std::string format_percent_range(double low, double high);

// ", 75 % coverage" for an interval below 95 %, "" otherwise; "no interval"
// wording is the caller's, for coverage 0.
std::string coverage_note(const Interval& interval);

}  // namespace analysis
