#include "analysis/text_format.hpp"

#include <fmt/format.h>

#include <cmath>

namespace analysis {

namespace {

// Three significant digits without an exponent, trailing zeros kept.
std::string three_digits(double value) {
  const double magnitude = std::fabs(value);
  if (magnitude >= 100.0) return fmt::format("{:.0f}", value);
  if (magnitude >= 10.0) return fmt::format("{:.1f}", value);
  return fmt::format("{:.2f}", value);
}

}  // namespace

std::string format_time(double nanoseconds) {
  if (nanoseconds < 1e3) return fmt::format("{:.0f} ns", nanoseconds);
  if (nanoseconds < 1e6) return three_digits(nanoseconds / 1e3) + " µs";
  if (nanoseconds < 1e9) return three_digits(nanoseconds / 1e6) + " ms";
  return three_digits(nanoseconds / 1e9) + " s";
}

std::string format_factor(double factor) { return three_digits(factor) + "×"; }

std::string format_percent(double fraction) { return fmt::format("{:.1f} %", fraction * 100.0); }

std::string format_percent_range(double low, double high) {
  return fmt::format("{:.1f} to {:.1f} %", low * 100.0, high * 100.0);
}

std::string coverage_note(const Interval& interval) {
  if (interval.reaches_nominal) return "";
  return fmt::format(", {:.3g} % coverage", interval.coverage * 100.0);
}

}  // namespace analysis
