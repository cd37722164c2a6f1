// Numbers and times as the tools write them: one helper per form of text,
// all built on libfmt.
#pragma once

#include <cstdint>
#include <string>

namespace analysis {

// Three significant digits in ns, µs, ms or s: "712 ns", "4.56 ms", "1.20 s".
std::string format_time(double nanoseconds);

// The ways a factor (one time over another) is written, by where it stands.
enum class FactorForm {
  summary,   // three leading digits: "1.25×", "14.2×", "2500×"
  cell,      // two leading digits, whole factors rounded half up: "0.20×", "2.0×", "13×"
  tick,      // at most three significant digits: "0.5×", "2×", "1.25×"
  interval,  // an interval's end, two significant digits and no sign: "2.9", "0.45"
  axis,      // three decimals and no sign, for an axis close around 1: "0.995", "1.005"
};

// `factor` as `form` writes it.
std::string format_factor(double factor, FactorForm form = FactorForm::summary);

// A fraction as a percentage with one decimal: 0.031 -> "3.1 %".
std::string format_percent(double fraction);

// Two fractions as a range of percentages: "13.3 to 18.3 %".
std::string format_percent_range(double low, double high);

// 648000000 as "648,000,000".
std::string with_thousands(std::int64_t value);

// 648000324 bytes as "648.0 MB" (decimal megabytes, as the summary shows them).
std::string megabytes(std::int64_t bytes);

// Hundredths as seconds with two decimals, exactly: 360005 as "3600.05", -150 as "-1.50".
std::string seconds_text(std::int64_t hundredths);

// A wall time as "2:03.4", or "1:02:03.4" from an hour on.
std::string clock_text(double seconds);

// `value` with exactly `decimals` decimals.
std::string fixed(double value, int decimals);

// `value` with at most `digits` significant digits, no exponent and no
// trailing zeros: with 3 digits 0.000123 stays "0.000123" and 2.50 is "2.5";
// whole digits are never dropped, so 1234.5 is "1235".
std::string significant(double value, int digits);

}  // namespace analysis
