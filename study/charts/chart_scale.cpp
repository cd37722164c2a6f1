#include "study/charts/chart_scale.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "analysis/text/text_format.hpp"

namespace study::svg {

std::string format_tick(double value, TickFormat format) {
  switch (format) {
    case TickFormat::plain:
      return analysis::significant(value, 4);
    case TickFormat::count:
      if (std::fabs(value) >= 1e6) return analysis::significant(value / 1e6, 3) + "M";
      if (std::fabs(value) >= 1e4) return analysis::significant(value / 1e3, 3) + "k";
      return analysis::significant(value, 4);
    case TickFormat::seconds: {
      const double magnitude = std::fabs(value);
      if (magnitude == 0) return "0 s";
      if (magnitude >= 1) return analysis::significant(value, 3) + " s";
      if (magnitude >= 1e-3) return analysis::significant(value * 1e3, 3) + " ms";
      if (magnitude >= 1e-6) return analysis::significant(value * 1e6, 3) + " \xc2\xb5s";
      return analysis::significant(value * 1e9, 3) + " ns";
    }
    case TickFormat::ratio:
      return analysis::format_factor(value, analysis::FactorForm::tick);
  }
  return analysis::significant(value, 4);
}

namespace {

// 10^exponent rounded once: every C library's pow need not give 0.001 exactly, and a tick of
// 0.0010000000000000002 would print and compare as a different value.
double power_of_ten(int exponent) {
  double power = 1;
  for (int step = 0; step < std::abs(exponent); ++step) power *= 10;  // exact up to 10^22
  return exponent < 0 ? 1 / power : power;
}

int decade_of(double value) { return static_cast<int>(std::floor(std::log10(value))); }

}  // namespace

double Scale::operator()(double value) const {
  double t = 0;
  if (log) {
    const double clamped = std::max(value, lo);
    t = (std::log10(clamped) - std::log10(lo)) / (std::log10(hi) - std::log10(lo));
  } else {
    t = (value - lo) / (hi - lo);
  }
  return pixel_lo + t * (pixel_hi - pixel_lo);
}

std::vector<double> Scale::ticks() const {
  std::vector<double> result;
  if (!std::isfinite(lo) || !std::isfinite(hi)) return result;
  if (log) {
    if (!(lo > 0)) return result;
    const int first = static_cast<int>(std::ceil(std::log10(lo) - 1e-9));
    const int last = static_cast<int>(std::floor(std::log10(hi) + 1e-9));
    const bool short_range = last - first < 2;
    for (int decade = first - 1; decade <= last; ++decade) {
      for (double multiple : {1.0, 2.0, 5.0}) {
        if (multiple != 1.0 && !short_range) continue;
        const double value = multiple * power_of_ten(decade);
        if (value >= lo * (1 - 1e-9) && value <= hi * (1 + 1e-9)) result.push_back(value);
      }
    }
    return result;
  }
  if (!(hi > lo)) return result;
  const double raw_step = (hi - lo) / 6;
  const double magnitude = power_of_ten(decade_of(raw_step));
  double step = magnitude * 10;
  for (double multiple : {1.0, 2.0, 5.0, 10.0}) {
    if (multiple * magnitude >= raw_step) {
      step = multiple * magnitude;
      break;
    }
  }
  // A step lost in the rounding of huge values would never advance: a dozen ticks at most.
  for (double value = std::ceil(lo / step) * step; value <= hi + step * 1e-9 && result.size() < 12; value += step) {
    result.push_back(std::fabs(value) < step * 1e-9 ? 0.0 : value);
  }
  return result;
}

std::vector<double> Scale::steps(int count) const {
  std::vector<double> result;
  for (int step = 0; step <= count; ++step) result.push_back(lo + (hi - lo) * step / static_cast<double>(count));
  return result;
}

Scale fitted_scale(double lo, double hi, bool log) {
  if (log) {
    const double decade_lo = power_of_ten(static_cast<int>(std::floor(std::log10(lo) + 1e-9)));
    const double decade_hi = power_of_ten(static_cast<int>(std::ceil(std::log10(hi) - 1e-9)));
    return Scale{.lo = decade_lo, .hi = decade_hi <= decade_lo ? decade_lo * 10 : decade_hi, .log = true};
  }
  const double margin = hi > lo ? (hi - lo) * 0.06 : std::max(std::fabs(lo) * 0.1, 1.0);
  return Scale{.lo = lo - margin, .hi = hi + margin, .log = false};
}

}  // namespace study::svg
