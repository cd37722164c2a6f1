// The random source: standard MT19937 and the multiply-shift bounded draw.
#include "kit/random_source.hpp"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(RandomSource, IsTheStandardGeneratorWithTheMultiplyShiftDraw) {
  // The first output of MT19937 seeded with 5489 is 3499211612.
  EXPECT_EQ(kit::RandomSource(5489).below(2147483647), 1749605805);
  EXPECT_EQ(kit::RandomSource(5489).below(1000000), 814723);
}

TEST(RandomSource, StaysBelowTheBoundAndReachesBothEnds) {
  kit::RandomSource random(7);
  std::set<std::int32_t> seen;
  for (int i = 0; i < 1000; ++i) {
    const std::int32_t value = random.below(10);
    ASSERT_GE(value, 0);
    ASSERT_LT(value, 10);
    seen.insert(value);
  }
  EXPECT_EQ(seen.size(), 10u);
  EXPECT_EQ(kit::RandomSource(7).below(1), 0);
}

}  // namespace
