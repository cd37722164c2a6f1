// The bulk MT19937 stream against the standard library's engine: the same
// outputs, raw and scaled, whatever mix of fill lengths and single draws,
// on both the vector kernel (AVX2 or NEON) and the portable one; that the
// vector kernel is the one in use wherever the processor can run it; and
// fills that write exactly their own range.
#include "kit/mt19937_stream.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "kit/random_source.hpp"

namespace {

using kit::Mt19937Stream;
using Kernel = Mt19937Stream::Kernel;

// Around the round of 624 words, and odd lengths that leave a block half used.
constexpr std::array<std::size_t, 7> kLengths{1, 7, 80, 623, 624, 625, 1000};
constexpr std::array<std::uint32_t, 6> kBounds{1, 10, 1000000, 20000000, 2147483647, 4294967295};
constexpr std::size_t kDrawsPerSeed = 10'000'000;

std::uint32_t scaled_from_one(std::uint32_t output, std::uint32_t bound) {
  return static_cast<std::uint32_t>((std::uint64_t{bound} * output) >> 32) + 1u;
}

// How one step of the schedule draws: a raw fill, a scaled fill with one of
// the bounds, or single draws.
struct Step {
  std::size_t length;
  std::size_t way;  // 0: raw fill, 1 .. 6: scaled by kBounds[way - 1], 7: next() per value
};
constexpr std::size_t kWays = kBounds.size() + 2;

Step step(std::size_t index) {
  // 7 lengths against 8 ways: every pairing comes round every 56 steps.
  return {kLengths[index % kLengths.size()], index % kWays};
}

std::string describe(const Step& s) {
  if (s.way == 0) return "raw fill of " + std::to_string(s.length);
  if (s.way == kWays - 1) return std::to_string(s.length) + " single draws";
  return "fill of " + std::to_string(s.length) + " scaled to 1.." + std::to_string(kBounds[s.way - 1]);
}

class StreamMatchesTheStandardEngine : public ::testing::TestWithParam<Kernel> {
 protected:
  // Runs the schedule for `draws` outputs and compares every value.
  static void expect_identical(std::uint32_t seed, std::size_t draws) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    Mt19937Stream stream(seed, GetParam());
    std::mt19937 reference(seed);
    std::vector<std::uint32_t> values(kLengths.back());
    std::size_t drawn = 0;
    for (std::size_t index = 0; drawn < draws; ++index) {
      const Step s = step(index);
      if (s.way == 0) {
        stream.fill(values.data(), s.length);
      } else if (s.way == kWays - 1) {
        for (std::size_t k = 0; k < s.length; ++k) values[k] = stream.next();
      } else {
        stream.fill_from_one_to(values.data(), s.length, kBounds[s.way - 1]);
      }
      for (std::size_t k = 0; k < s.length; ++k) {
        const std::uint32_t output = reference();
        const std::uint32_t expected =
            s.way == 0 || s.way == kWays - 1 ? output : scaled_from_one(output, kBounds[s.way - 1]);
        ASSERT_EQ(values[k], expected) << "draw " << drawn + k << ", value " << k << " of a " << describe(s);
      }
      drawn += s.length;
    }
  }
};

TEST_P(StreamMatchesTheStandardEngine, ForTheEdgeSeeds) {
  for (std::uint32_t seed : {0u, 1u, 5489u, 4294967295u}) expect_identical(seed, kDrawsPerSeed);
}

TEST_P(StreamMatchesTheStandardEngine, ForRandomSeeds) {
  std::random_device device;
  for (int i = 0; i < 2; ++i) expect_identical(device(), kDrawsPerSeed);
}

INSTANTIATE_TEST_SUITE_P(Kernels, StreamMatchesTheStandardEngine,
                         ::testing::Values(Kernel::fastest_available, Kernel::portable),
                         [](const ::testing::TestParamInfo<Kernel>& info) {
                           return info.param == Kernel::portable ? std::string("Portable") : std::string("Fastest");
                         });

// The fastest kernel is the vector one wherever it can run, so that the
// tests of Kernel::fastest_available above cover it: always on AArch64, on
// x86-64 processors with AVX2.
TEST(Mt19937Stream, NamesItsKernelAndUsesTheVectorOneWhereItCanRun) {
  EXPECT_EQ(Mt19937Stream(1, Kernel::portable).kernel_name(), "portable");
#if defined(__aarch64__)
  EXPECT_EQ(Mt19937Stream(1).kernel_name(), "neon");
#elif defined(__x86_64__)
  __builtin_cpu_init();
  EXPECT_EQ(Mt19937Stream(1).kernel_name(), __builtin_cpu_supports("avx2") ? "avx2" : "portable");
#endif
  std::cout << "[          ] fastest kernel here: " << Mt19937Stream(1).kernel_name() << '\n';
}

// A fill writes exactly its range: the programs fill slots 1..L of arrays
// laid end to end, so one word too many would overwrite the next array's slot 0.
TEST(Mt19937Stream, FillsWriteOnlyTheirOwnRange) {
  constexpr std::uint32_t kGuard = 0xdeadbeefu;
  for (Kernel kernel : {Kernel::fastest_available, Kernel::portable}) {
    Mt19937Stream stream(77, kernel);
    std::vector<std::uint32_t> area(1000 + 64);
    for (std::size_t offset : {0u, 1u, 3u, 8u}) {
      for (std::size_t length : kLengths) {
        for (bool scaled : {false, true}) {
          std::fill(area.begin(), area.end(), kGuard);
          std::uint32_t* first = area.data() + 16 + offset;
          scaled ? stream.fill_from_one_to(first, length, 1000000) : stream.fill(first, length);
          for (std::size_t k = 0; k < 16 + offset; ++k) ASSERT_EQ(area[k], kGuard) << "before, length " << length;
          for (std::size_t k = 16 + offset + length; k < area.size(); ++k) {
            ASSERT_EQ(area[k], kGuard) << "after, length " << length << ", kernel " << static_cast<int>(kernel);
          }
        }
      }
    }
    // An empty fill draws nothing.
    stream.fill(area.data(), 0);
    std::mt19937 reference(77);
    Mt19937Stream fresh(77, kernel);
    fresh.fill(area.data(), 0);
    fresh.fill_from_one_to(area.data(), 0, 10);
    EXPECT_EQ(fresh.next(), reference());
  }
}

TEST(Mt19937Stream, ScaledValuesReachBothEndsOfTheRange) {
  Mt19937Stream stream(2024);
  std::vector<std::uint32_t> values(100000);
  stream.fill_from_one_to(values.data(), values.size(), 1);
  EXPECT_EQ(std::count(values.begin(), values.end(), 1u), static_cast<std::ptrdiff_t>(values.size()));
  stream.fill_from_one_to(values.data(), values.size(), 4);
  for (std::uint32_t v = 1; v <= 4; ++v) EXPECT_NE(std::count(values.begin(), values.end(), v), 0) << v;
  EXPECT_EQ(std::count(values.begin(), values.end(), 0u) + std::count(values.begin(), values.end(), 5u), 0);
}

// The programs' interface: a fill is the same data as one below() + 1 per
// element, and both continue one stream.
TEST(RandomSourceFill, DrawsWhatBelowWouldAndContinuesTheSameStream) {
  kit::RandomSource bulk(4242);
  kit::RandomSource single(4242);
  std::vector<std::int32_t> values(1000);
  for (std::size_t length : kLengths) {
    bulk.fill_from_one_to(values.data(), length, 20000000);
    for (std::size_t k = 0; k < length; ++k) ASSERT_EQ(values[k], single.below(20000000) + 1) << length;
    ASSERT_EQ(bulk.below(2147483647), single.below(2147483647));
  }
}

}  // namespace
