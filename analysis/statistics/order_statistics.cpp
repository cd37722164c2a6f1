#include "analysis/statistics/order_statistics.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace analysis {

namespace {

// Beyond this many pairs counting arrangements costs more than the normal
// approximation loses.
constexpr std::size_t exact_pair_limit = 2500;

double log_binomial_coefficient(std::size_t n, std::size_t k) {
  return std::lgamma(static_cast<double>(n) + 1.0) - std::lgamma(static_cast<double>(k) + 1.0) -
         std::lgamma(static_cast<double>(n - k) + 1.0);
}

// P(U <= u) for u = 0 .. limit, by counting arrangements: ways(a, b, u) =
// ways(a - 1, b, u - b) + ways(a, b - 1, u), as the largest value of the
// merged sample comes from the first sample (then it exceeds all b values of
// the second) or from the second.
std::vector<double> exact_lower_tails(std::size_t n, std::size_t m, std::size_t limit) {
  std::vector<std::vector<double>> previous(m + 1, std::vector<double>(limit + 1, 0.0));
  for (auto& ways : previous) ways[0] = 1.0;  // no value from the first sample: U = 0
  for (std::size_t a = 1; a <= n; ++a) {
    std::vector<std::vector<double>> current(m + 1, std::vector<double>(limit + 1, 0.0));
    current[0][0] = 1.0;
    for (std::size_t b = 1; b <= m; ++b) {
      for (std::size_t u = 0; u <= limit; ++u) {
        current[b][u] = (u >= b ? previous[b][u - b] : 0.0) + current[b - 1][u];
      }
    }
    previous = std::move(current);
  }
  const double log_arrangements = log_binomial_coefficient(n + m, n);
  std::vector<double> tails(limit + 1);
  double ways = 0.0;
  for (std::size_t u = 0; u <= limit; ++u) {
    ways += previous[m][u];
    tails[u] = std::min(1.0, std::exp(std::log(ways) - log_arrangements));
  }
  return tails;
}

double normal_lower_tail(std::size_t n, std::size_t m, std::size_t u) {
  const double nn = static_cast<double>(n);
  const double mm = static_cast<double>(m);
  const double deviation = std::sqrt(nn * mm * (nn + mm + 1.0) / 12.0);
  const double z = (static_cast<double>(u) + 0.5 - nn * mm / 2.0) / deviation;
  return 0.5 * std::erfc(-z / std::sqrt(2.0));
}

}  // namespace

double binomial_half_lower_tail(std::size_t n, std::size_t k) {
  if (k >= n) return 1.0;
  double tail = 0.0;
  for (std::size_t i = 0; i <= k; ++i) {
    tail += std::exp(log_binomial_coefficient(n, i) - static_cast<double>(n) * std::log(2.0));
  }
  return std::min(1.0, tail);
}

RankInterval median_rank_interval(std::size_t n) {
  if (n == 0) throw std::invalid_argument("no interval for an empty sample");
  RankInterval interval{1, n, 1.0 - 2.0 * binomial_half_lower_tail(n, 0), false};
  for (std::size_t lower = 1; 2 * lower <= n; ++lower) {
    const double coverage = 1.0 - 2.0 * binomial_half_lower_tail(n, lower - 1);
    if (coverage < nominal_coverage) break;
    interval = RankInterval{lower, n + 1 - lower, coverage, true};
  }
  return interval;
}

double mann_whitney_lower_tail(std::size_t n, std::size_t m, std::size_t u) {
  if (n == 0 || m == 0 || u >= n * m) return 1.0;
  if (n * m <= exact_pair_limit) return exact_lower_tails(n, m, u).back();
  return normal_lower_tail(n, m, u);
}

RankInterval shift_rank_interval(std::size_t n, std::size_t m) {
  if (n == 0 || m == 0) throw std::invalid_argument("no interval for an empty sample");
  const std::size_t pairs = n * m;
  const std::size_t half = pairs / 2;
  std::vector<double> tails;
  if (pairs <= exact_pair_limit) {
    tails = exact_lower_tails(n, m, half);
  } else {
    for (std::size_t u = 0; u <= half; ++u) tails.push_back(normal_lower_tail(n, m, u));
  }
  RankInterval interval{1, pairs, 1.0 - 2.0 * tails[0], false};
  for (std::size_t k = 1; 2 * k <= pairs; ++k) {
    const double coverage = 1.0 - 2.0 * tails[k - 1];
    if (coverage < nominal_coverage) break;
    interval = RankInterval{k, pairs + 1 - k, coverage, true};
  }
  return interval;
}

}  // namespace analysis
