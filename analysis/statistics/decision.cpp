#include "analysis/statistics/decision.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace analysis {

namespace {

// The regularised incomplete beta function I_x(a, b), by its continued fraction.
double incomplete_beta(double a, double b, double x) {
  if (x <= 0.0) return 0.0;
  if (x >= 1.0) return 1.0;
  if (x > (a + 1.0) / (a + b + 2.0)) return 1.0 - incomplete_beta(b, a, 1.0 - x);
  const double front =
      std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) + b * std::log(1.0 - x)) / a;
  constexpr double kTiny = 1e-300;
  double c = 1.0, d = 1.0 - (a + b) * x / (a + 1.0);
  d = 1.0 / (std::fabs(d) < kTiny ? kTiny : d);
  double f = d;
  for (int m = 1; m <= 300; ++m) {
    for (const bool odd : {false, true}) {
      const double numerator = odd ? -(a + m) * (a + b + m) * x / ((a + 2.0 * m) * (a + 2.0 * m + 1.0))
                                   : m * (b - m) * x / ((a + 2.0 * m - 1.0) * (a + 2.0 * m));
      d = 1.0 + numerator * d;
      d = 1.0 / (std::fabs(d) < kTiny ? kTiny : d);
      c = 1.0 + numerator / c;
      if (std::fabs(c) < kTiny) c = kTiny;
      f *= c * d;
    }
    if (std::fabs(c * d - 1.0) < 1e-14) break;
  }
  return front * f;
}

// P(T <= t) for Student's t with `nu` degrees of freedom.
double student_cdf(double t, double nu) {
  const double tail = 0.5 * incomplete_beta(nu / 2.0, 0.5, nu / (nu + t * t));
  return t >= 0 ? 1.0 - tail : tail;
}

// The value where an increasing `cdf` reaches `probability`, by bisection.
template <class Cdf>
double inverse(Cdf cdf, double probability) {
  double low = -1e3, high = 1e3;
  for (int i = 0; i < 200; ++i) {
    const double middle = (low + high) / 2.0;
    (cdf(middle) < probability ? low : high) = middle;
  }
  return (low + high) / 2.0;
}

}  // namespace

double Look::level() const {
  if (number <= 0) return kErrorRate;
  const auto k = static_cast<double>(number);
  return kErrorRate / (k * (k + 1));
}

double normal_quantile(double probability) {
  return inverse([](double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); }, probability);
}

double student_quantile(double probability, double degrees_of_freedom) {
  return inverse([degrees_of_freedom](double t) { return student_cdf(t, degrees_of_freedom); }, probability);
}

Decision decide(std::span<const double> ratios, const NoiseModel& noise, Look look) {
  Decision decision;
  decision.runs = ratios.size();
  if (ratios.empty()) return decision;
  std::vector<double> logs;
  for (const double r : ratios) logs.push_back(std::log(std::max(r, 1e-12)));
  const auto n = static_cast<double>(logs.size());
  const double mean = std::accumulate(logs.begin(), logs.end(), 0.0) / n;
  double squares = 0.0;
  for (const double l : logs) squares += (l - mean) * (l - mean);
  const double observed = logs.size() > 1 ? std::sqrt(squares / (n - 1.0)) : 0.0;
  // A paired ratio holds the noise of two cells.
  const double pair = std::sqrt(2.0);
  const double level = look.level();
  decision.confidence = 1.0 - level;
  double spread = 0.0, quantile = 0.0;
  if (logs.size() >= 3) {
    decision.from_runs = true;
    spread = std::max(observed, kLeastCellSpread * pair);
    quantile = student_quantile(1.0 - level / 2.0, n - 1.0);
  } else {
    spread = std::max(observed, noise.cell_spread * pair);
    quantile = normal_quantile(1.0 - level / 2.0);
  }
  const double half = quantile * spread / std::sqrt(n);
  decision.ratio = std::exp(mean);
  decision.low = std::exp(mean - half);
  decision.high = std::exp(mean + half);
  if (!decision.decided()) {
    // Runs at which the same mean and spread would clear 1, by the normal
    // quantile: a rough count, as the spread itself is uncertain.
    const double z = normal_quantile(1.0 - level / 2.0);
    const double needed = std::fabs(mean) > 0 ? std::pow(z * spread / std::fabs(mean), 2.0) : INFINITY;
    if (needed <= static_cast<double>(kMostRunsWorthAsking)) {
      decision.runs_needed = std::max<std::size_t>(static_cast<std::size_t>(std::ceil(needed)), logs.size() + 1);
    }
  }
  return decision;
}

}  // namespace analysis
