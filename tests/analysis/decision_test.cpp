// Deciding whether two cells differ: the quantiles, the noise model at one
// run and what it is made of, the runs' own spread from three on, the
// spending of the error rate over repeated looks, and the estimate of the
// runs still needed.
#include "analysis/statistics/decision.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/statistics/noise_model.hpp"

namespace {

using analysis::decide;
using analysis::Look;
using analysis::NoiseModel;

TEST(Quantiles, MatchTheTables) {
  EXPECT_NEAR(analysis::normal_quantile(0.975), 1.959964, 1e-5);
  EXPECT_NEAR(analysis::normal_quantile(0.5), 0.0, 1e-9);
  EXPECT_NEAR(analysis::student_quantile(0.975, 1), 12.7062, 1e-3);
  EXPECT_NEAR(analysis::student_quantile(0.975, 2), 4.3027, 1e-4);
  EXPECT_NEAR(analysis::student_quantile(0.975, 5), 2.5706, 1e-4);
  EXPECT_NEAR(analysis::student_quantile(0.995, 10), 3.1693, 1e-4);
}

TEST(OneRun, DecidesAFactorFarOutsideTheNoiseAndNotOneWithinIt) {
  // Counting sort 18 times faster in the one run: not in doubt at a cell
  // spread of 9 %.
  const std::vector<double> clear{1.0 / 18.2};
  const auto fast = decide(clear, NoiseModel{});
  EXPECT_TRUE(fast.decided());
  EXPECT_EQ(fast.side(), -1);
  EXPECT_FALSE(fast.from_runs);
  EXPECT_NEAR(fast.ratio, 1.0 / 18.2, 1e-12);

  // 10 % is inside the noise of one run; about seven runs would tell.
  const std::vector<double> close{1.10};
  const auto near = decide(close, NoiseModel{});
  EXPECT_FALSE(near.decided());
  EXPECT_EQ(near.side(), 0);
  ASSERT_TRUE(near.runs_needed);
  EXPECT_EQ(*near.runs_needed, 7u);

  // A quieter noise model (the cutoff programs' own row) decides it.
  EXPECT_TRUE(decide(close, NoiseModel{0.02, "the row"}).decided());
}

TEST(OneRunNoiseModel, TakesTheLargestSpreadKnownAndNamesIt) {
  using analysis::noise_model;
  // No calibration (an older run folder): the stated prior, as it always read.
  EXPECT_DOUBLE_EQ(noise_model(std::nullopt).cell_spread, analysis::kPriorCellSpread);
  EXPECT_EQ(noise_model(std::nullopt).source, NoiseModel{}.source);
  // A quiet machine never narrows the prior, and says what it measured.
  const NoiseModel quiet = noise_model(0.031);
  EXPECT_DOUBLE_EQ(quiet.cell_spread, analysis::kPriorCellSpread);
  EXPECT_EQ(quiet.source, NoiseModel{}.source + ", above this machine's calibrated 3.1 %");
  // A noisy one widens it: 1.35 times apart is decided at the prior, not at 20 %.
  const NoiseModel noisy = noise_model(0.20);
  EXPECT_DOUBLE_EQ(noisy.cell_spread, 0.20);
  EXPECT_EQ(noisy.source,
            "this machine's run-to-run spread of 20.0 % per cell, calibrated, above the stated prior of 9 %");
  const std::vector<double> apart{1.35};
  EXPECT_TRUE(decide(apart, quiet).decided());
  EXPECT_FALSE(decide(apart, noisy).decided());
  // The run's own repeated cells count where they are the largest, and only there.
  const NoiseModel row{0.12, "the spread of the length's REKQSORT cells"};
  EXPECT_EQ(noise_model(0.031, false, row).source, row.source);
  EXPECT_DOUBLE_EQ(noise_model(0.20, false, row).cell_spread, 0.20);
  EXPECT_DOUBLE_EQ(noise_model(0.031, true, row).cell_spread, std::hypot(0.031, analysis::kOtherWorkSpread));
}

TEST(ThreeRuns, UseTheirOwnSpreadAndATie) {
  const std::vector<double> steady{1.10, 1.11, 1.09};
  const auto d = decide(steady, NoiseModel{});
  EXPECT_TRUE(d.from_runs);
  EXPECT_TRUE(d.decided()) << d.low << " " << d.high;
  // A tie stays undecided however many runs one adds: no count is asked for.
  const std::vector<double> tie{1.01, 0.99, 1.0, 1.0};
  const auto t = decide(tie, NoiseModel{});
  EXPECT_FALSE(t.decided());
  EXPECT_FALSE(t.runs_needed);
}

TEST(RepeatedLooks, SpendTheErrorRateSoLaterLooksDecideLess) {
  EXPECT_DOUBLE_EQ(Look{0}.level(), 0.05);
  EXPECT_DOUBLE_EQ(Look{1}.level(), 0.025);
  EXPECT_DOUBLE_EQ(Look{3}.level(), 0.05 / 12);
  double spent = 0;
  for (int k = 1; k <= 1000; ++k) spent += Look{k}.level();
  EXPECT_LE(spent, 0.05);  // 0.05 (1 - 1/1001)
  EXPECT_GT(spent, 0.0499);
  const std::vector<double> ratios{1.12, 1.05, 1.09, 1.15};
  const auto fixed = decide(ratios, NoiseModel{}, Look{0});
  const auto fourth = decide(ratios, NoiseModel{}, Look{4});
  EXPECT_LT(fourth.low, fixed.low);
  EXPECT_GT(fourth.high, fixed.high);
  EXPECT_NEAR(fourth.confidence, 1 - 0.05 / 20, 1e-12);
}

}  // namespace
