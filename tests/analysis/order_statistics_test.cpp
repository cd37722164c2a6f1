// Order-statistic intervals and per-cell statistics against worked values.
#include "analysis/statistics/order_statistics.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/statistics/cell_statistics.hpp"
#include "analysis/statistics/ratio_estimate.hpp"

namespace {

using analysis::median_rank_interval;
using analysis::shift_rank_interval;

struct MedianRanks {
  std::size_t n;
  std::size_t lower;
  std::size_t upper;
  double coverage;
};

TEST(MedianRankInterval, NarrowestRanksThatReachNinetyFivePercent) {
  // Coverage 1 - 2 P(B <= l - 1), B ~ Binomial(n, 1/2):
  // n = 6: 1 - 2/64; n = 10: 1 - 22/1024; n = 20: 1 - 2 * 21700/2^20.
  const std::vector<MedianRanks> worked{
      {6, 1, 6, 0.96875},
      {10, 2, 9, 1.0 - 22.0 / 1024.0},
      {20, 6, 15, 1.0 - 43400.0 / 1048576.0},
  };
  for (const MedianRanks& w : worked) {
    const auto ranks = median_rank_interval(w.n);
    EXPECT_EQ(ranks.lower, w.lower) << w.n;
    EXPECT_EQ(ranks.upper, w.upper) << w.n;
    EXPECT_NEAR(ranks.coverage, w.coverage, 1e-12) << w.n;
    EXPECT_TRUE(ranks.reaches_nominal) << w.n;
  }
  EXPECT_NEAR(median_rank_interval(10).coverage, 0.9785, 5e-5);
  EXPECT_NEAR(median_rank_interval(20).coverage, 0.9586, 5e-5);
  // One rank further in falls below 95 %: n = 10, ranks 3 and 8 hold 89 %.
  EXPECT_LT(1.0 - 2.0 * analysis::binomial_half_lower_tail(10, 2), 0.95);
}

TEST(MedianRankInterval, BelowSixValuesTheWholeRangeFlaggedWithItsCoverage) {
  for (std::size_t n = 1; n < 6; ++n) {
    const auto ranks = median_rank_interval(n);
    EXPECT_EQ(ranks.lower, 1u) << n;
    EXPECT_EQ(ranks.upper, n) << n;
    EXPECT_FALSE(ranks.reaches_nominal) << n;
    EXPECT_DOUBLE_EQ(ranks.coverage, 1.0 - std::ldexp(1.0, 1 - static_cast<int>(n))) << n;
  }
  EXPECT_DOUBLE_EQ(median_rank_interval(3).coverage, 0.75);
  EXPECT_DOUBLE_EQ(median_rank_interval(1).coverage, 0.0);
}

TEST(ShiftRankInterval, MatchesTheMannWhitneyCriticalValues) {
  // Two-sided 5 % critical values of U for equal samples: n = 5: 2, 8: 13,
  // 10: 23, so the interval starts at rank U + 1.
  EXPECT_EQ(shift_rank_interval(5, 5).lower, 3u);
  EXPECT_EQ(shift_rank_interval(8, 8).lower, 14u);
  EXPECT_EQ(shift_rank_interval(10, 10).lower, 24u);
  EXPECT_EQ(shift_rank_interval(10, 10).upper, 100u + 1u - 24u);
  EXPECT_GE(shift_rank_interval(10, 10).coverage, 0.95);
  // n = m = 3: even the whole range holds only 1 - 2/20.
  const auto small = shift_rank_interval(3, 3);
  EXPECT_EQ(small.lower, 1u);
  EXPECT_EQ(small.upper, 9u);
  EXPECT_DOUBLE_EQ(small.coverage, 0.9);
  EXPECT_FALSE(small.reaches_nominal);
  // P(U <= 0) is one arrangement in C(n + m, n).
  EXPECT_NEAR(analysis::mann_whitney_lower_tail(4, 6, 0), 1.0 / 210.0, 1e-12);
}

TEST(ShiftRankInterval, LargeSamplesFollowTheNormalApproximation) {
  // n = m = 60: nm/2 - 1.96 sqrt(nm(n+m+1)/12) = 1426.6.
  const auto ranks = shift_rank_interval(60, 60);
  EXPECT_NEAR(static_cast<double>(ranks.lower), 1427.0, 2.0);
  EXPECT_GE(ranks.coverage, 0.95);
  // The exact count at n = m = 50 agrees with the approximation.
  const double z = (1000.5 - 1250.0) / std::sqrt(2500.0 * 101.0 / 12.0);
  EXPECT_NEAR(analysis::mann_whitney_lower_tail(50, 50, 1000), 0.5 * std::erfc(-z / std::sqrt(2.0)), 0.002);
}

TEST(CellStatistics, WorkedSample) {
  const auto stats = analysis::cell_statistics(std::vector<double>{50, 10, 40, 20, 30, 60});
  EXPECT_EQ(stats.count, 6u);
  EXPECT_DOUBLE_EQ(stats.median, 35.0);
  EXPECT_DOUBLE_EQ(stats.minimum, 10.0);
  EXPECT_DOUBLE_EQ(stats.maximum, 60.0);
  EXPECT_DOUBLE_EQ(stats.mean, 35.0);
  EXPECT_NEAR(stats.standard_deviation, 18.708287, 1e-6);  // sqrt(1750 / 5)
  EXPECT_NEAR(stats.coefficient_of_variation, 18.708287 / 35.0, 1e-8);
  EXPECT_DOUBLE_EQ(stats.median_interval.low, 10.0);
  EXPECT_DOUBLE_EQ(stats.median_interval.high, 60.0);
  EXPECT_TRUE(stats.median_interval.reaches_nominal);

  const auto single = analysis::cell_statistics(std::vector<double>{7});
  EXPECT_DOUBLE_EQ(single.standard_deviation, 0.0);
  EXPECT_DOUBLE_EQ(single.median_interval.coverage, 0.0);
  EXPECT_THROW(analysis::cell_statistics(std::vector<double>{}), std::invalid_argument);
}

TEST(RatioEstimate, PairedUsesTheRatioOfEachPairUnpairedEveryCombination) {
  // Widely varying data, a constant ratio within each pair.
  const std::vector<analysis::KeyedValue> a{{1, 100}, {2, 1000}, {3, 10}, {4, 400}, {5, 50}, {6, 70}};
  std::vector<analysis::KeyedValue> b;
  for (auto it = a.rbegin(); it != a.rend(); ++it) b.push_back({it->key, it->value * 0.9});
  const auto paired = analysis::paired_ratio(b, a);
  EXPECT_TRUE(paired.paired);
  EXPECT_NEAR(paired.interval.low, 0.9, 1e-12);
  EXPECT_NEAR(paired.interval.high, 0.9, 1e-12);
  EXPECT_TRUE(paired.below_one());

  std::vector<double> va;
  std::vector<double> vb;
  for (const auto& v : a) va.push_back(v.value);
  for (const auto& v : b) vb.push_back(v.value);
  const auto unpaired = analysis::unpaired_ratio(vb, va);
  EXPECT_FALSE(unpaired.paired);
  EXPECT_NEAR(unpaired.ratio, 0.9, 1e-12);
  EXPECT_TRUE(unpaired.interval.contains(1.0));  // the spread of the data hides the change

  // No shared key: no pairs, so the samples are compared unpaired.
  const std::vector<analysis::KeyedValue> strangers{{7, 90}, {8, 900}};
  EXPECT_FALSE(analysis::paired_ratio(strangers, a).paired);
  // A window that read 0 ns counts as 1 ns.
  EXPECT_DOUBLE_EQ(analysis::unpaired_ratio(std::vector<double>{5}, std::vector<double>{0}).ratio, 5.0);
}

}  // namespace
