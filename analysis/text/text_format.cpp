#include "analysis/text/text_format.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {

// `digits` (2 or 3) leading digits without an exponent, trailing zeros kept:
// two decimals at most, none once the whole digits fill them. A tie such as
// 12.5 rounds to the even whole number, or up with `halves_up`.
std::string leading_digits(double value, int digits, bool halves_up = false) {
  const double magnitude = std::fabs(value);
  if (magnitude >= std::pow(10.0, digits - 1)) return fmt::format("{:.0f}", halves_up ? std::round(value) : value);
  if (magnitude >= std::pow(10.0, digits - 2)) return fmt::format("{:.1f}", value);
  return fmt::format("{:.2f}", value);
}

std::string three_digits(double value) { return leading_digits(value, 3); }

}  // namespace

std::string format_time(double nanoseconds) {
  if (nanoseconds < 1e3) return fmt::format("{:.0f} ns", nanoseconds);
  if (nanoseconds < 1e6) return three_digits(nanoseconds / 1e3) + " µs";
  if (nanoseconds < 1e9) return three_digits(nanoseconds / 1e6) + " ms";
  return three_digits(nanoseconds / 1e9) + " s";
}

std::string format_factor(double factor, FactorForm form) {
  switch (form) {
    case FactorForm::summary:
      break;
    case FactorForm::cell:
      return leading_digits(factor, 2, true) + "×";
    case FactorForm::tick:
      return significant(factor, 3) + "×";
    case FactorForm::interval:
      return significant(factor, 2);
    case FactorForm::axis:
      return fixed(factor, 3);
  }
  return three_digits(factor) + "×";
}

std::string format_percent(double fraction) { return fmt::format("{:.1f} %", fraction * 100.0); }

std::string format_percent_range(double low, double high) {
  return fmt::format("{:.1f} to {:.1f} %", low * 100.0, high * 100.0);
}

// Commas put in by hand, whatever the user's locale says.
std::string with_thousands(std::int64_t value) {
  std::string text = std::to_string(value);
  const std::size_t sign = value < 0 ? 1 : 0;
  for (std::size_t at = text.size(); at > sign + 3; at -= 3) text.insert(at - 3, 1, ',');
  return text;
}

std::string megabytes(std::int64_t bytes) { return fmt::format("{:.1f} MB", static_cast<double>(bytes) / 1e6); }

std::string seconds_text(std::int64_t hundredths) {
  const std::uint64_t magnitude =
      hundredths < 0 ? 0 - static_cast<std::uint64_t>(hundredths) : static_cast<std::uint64_t>(hundredths);
  return fmt::format("{}{}.{:02}", hundredths < 0 ? "-" : "", magnitude / 100, magnitude % 100);
}

std::string clock_text(double seconds) {
  const auto tenths = static_cast<long long>(std::max(seconds, 0.0) * 10 + 0.5);
  const long long hours = tenths / 36000;
  const long long minutes = tenths / 600 % 60;
  const long long whole_seconds = tenths / 10 % 60;
  if (hours > 0) return fmt::format("{}:{:02}:{:02}.{}", hours, minutes, whole_seconds, tenths % 10);
  return fmt::format("{}:{:02}.{}", minutes, whole_seconds, tenths % 10);
}

std::string fixed(double value, int decimals) { return fmt::format("{:.{}f}", value, decimals); }

std::string significant(double value, int digits) {
  if (value == 0 || !std::isfinite(value)) return "0";
  const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  std::string text = fixed(value, std::max(0, digits - 1 - magnitude));
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return text;
}

}  // namespace analysis
