// Distribution-free intervals from order statistics: which ranks of a sorted
// sample bound the median, and which ranks of the sorted pairwise differences
// of two samples bound their shift, with the coverage those ranks give.
#pragma once

#include <cstddef>

namespace analysis {

inline constexpr double nominal_coverage = 0.95;

// Ranks are 1-based and symmetric: upper = count + 1 - lower.
struct RankInterval {
  std::size_t lower = 0;
  std::size_t upper = 0;
  double coverage = 0.0;         // probability that the interval holds the true value
  bool reaches_nominal = false;  // coverage >= nominal_coverage
};

// P(B <= k) for B ~ Binomial(n, 1/2).
double binomial_half_lower_tail(std::size_t n, std::size_t k);

// For a sample of n values X(1) <= ... <= X(n): the narrowest symmetric pair
// (l, n + 1 - l) with P(X(l) <= median <= X(n+1-l)) = 1 - 2 P(B <= l - 1) at
// least 95 %, B ~ Binomial(n, 1/2). When no pair reaches it (n < 6) the whole
// range (1, n) is given, with its coverage 1 - 2^(1-n), below nominal.
RankInterval median_rank_interval(std::size_t n);

// P(U <= u) for the Mann-Whitney statistic of samples of n and m values with
// no difference between them: exact by counting arrangements while n * m is
// small, by the normal approximation with continuity correction beyond.
double mann_whitney_lower_tail(std::size_t n, std::size_t m, std::size_t u);

// For the n * m sorted pairwise differences D(1) <= ... <= D(nm) of two
// samples: the ranks (k, nm + 1 - k) of the Hodges-Lehmann interval for their
// shift, coverage 1 - 2 P(U <= k - 1). When no k reaches 95 % the whole range
// (1, nm) is given, with coverage 1 - 2 / C(n + m, n), below nominal.
RankInterval shift_rank_interval(std::size_t n, std::size_t m);

}  // namespace analysis
