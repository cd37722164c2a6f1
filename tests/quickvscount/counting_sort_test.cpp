// CSORT: the result, the exact state it leaves in its scratch arrays, and the
// positions it must not touch.
#include "kit/counting_sort.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

using Values = std::vector<std::int32_t>;
constexpr std::int32_t kUntouched = -777;

// A POLE with room for `last` and one guard slot above it, every slot marked.
Values marked_pole(std::int32_t last) { return Values(static_cast<std::size_t>(last) + 2, kUntouched); }

// The values at positions 1..n, as a POLE with marked index 0 and guard slot.
Values pole_of(const Values& values) {
  Values A = marked_pole(static_cast<std::int32_t>(values.size()));
  std::copy(values.begin(), values.end(), A.begin() + 1);
  return A;
}

Values slice(const Values& pole, std::int32_t first, std::int32_t last) {
  return Values(pole.begin() + first, pole.begin() + last + 1);
}

TEST(CountingSort, WorkedExampleLeavesExactCountsAndOutput) {
  Values A = pole_of({3, 1, 2, 1});
  Values B = marked_pole(4);
  Values C = marked_pole(3);
  kit::CSORT(A.data(), 4, 3, B.data(), C.data());
  EXPECT_EQ(slice(A, 1, 4), (Values{1, 1, 2, 3}));
  EXPECT_EQ(slice(B, 1, 4), (Values{1, 1, 2, 3}));
  // Each counter ends as the number of values smaller than its value.
  EXPECT_EQ(slice(C, 1, 3), (Values{0, 2, 3}));
  for (const Values* pole : {&A, &B, &C}) {
    EXPECT_EQ(pole->front(), kUntouched) << "index 0 is never used";
    EXPECT_EQ(pole->back(), kUntouched) << "nothing above N or K is touched";
  }
}

TEST(CountingSort, DegenerateShapes) {
  {  // N = 1: the element stays, its counter is cleared before counting.
    Values A = pole_of({5});
    Values B = marked_pole(1);
    Values C = marked_pole(7);
    kit::CSORT(A.data(), 1, 7, B.data(), C.data());
    EXPECT_EQ(slice(A, 1, 1), Values{5});
    EXPECT_EQ(slice(C, 1, 7), (Values{0, 0, 0, 0, 0, 1, 1}));
  }
  {  // K = 1: every value is 1 and the prefix pass has nothing to do.
    Values A = pole_of({1, 1, 1});
    Values B = marked_pole(3);
    Values C = marked_pole(1);
    kit::CSORT(A.data(), 3, 1, B.data(), C.data());
    EXPECT_EQ(slice(A, 1, 3), (Values{1, 1, 1}));
    EXPECT_EQ(C[1], 0);
  }
  {  // Every value equal to K: none is smaller than any counter's value, so all end at 0.
    Values A = pole_of({4, 4, 4, 4, 4});
    Values B = marked_pole(5);
    Values C = marked_pole(4);
    kit::CSORT(A.data(), 5, 4, B.data(), C.data());
    EXPECT_EQ(slice(A, 1, 5), (Values{4, 4, 4, 4, 4}));
    EXPECT_EQ(slice(C, 1, 4), (Values{0, 0, 0, 0}));
  }
}

TEST(CountingSort, SmallerRangeAfterLargerLeavesHigherCountersAlone) {
  Values B = marked_pole(6);
  Values C = marked_pole(9);
  Values first = pole_of({9, 2, 7, 9, 1, 5});
  kit::CSORT(first.data(), 6, 9, B.data(), C.data());
  EXPECT_EQ(slice(first, 1, 6), (Values{1, 2, 5, 7, 9, 9}));
  const Values counters_above = slice(C, 4, 9);

  Values second = pole_of({3, 1, 3, 2});
  kit::CSORT(second.data(), 4, 3, B.data(), C.data());
  EXPECT_EQ(slice(second, 1, 4), (Values{1, 2, 3, 3}));
  EXPECT_EQ(slice(C, 1, 3), (Values{0, 1, 2}));
  EXPECT_EQ(slice(C, 4, 9), counters_above);
  EXPECT_EQ(slice(B, 5, 6), (Values{9, 9})) << "B above the new N keeps the earlier call's values";
}

TEST(CountingSort, SortsRandomDataLikeStdSort) {
  std::mt19937 random(2024);
  Values B = marked_pole(5000);
  Values C = marked_pole(100000);
  for (std::int32_t n : {1, 2, 3, 17, 1000, 5000}) {
    for (std::int32_t k : {1, 2, 10, 1000, 100000}) {
      Values values(static_cast<std::size_t>(n));
      for (auto& v : values) v = static_cast<std::int32_t>(random() % static_cast<unsigned>(k)) + 1;
      Values A = pole_of(values);
      kit::CSORT(A.data(), n, k, B.data(), C.data());
      std::sort(values.begin(), values.end());
      EXPECT_EQ(slice(A, 1, n), values) << "n=" << n << " k=" << k;
      EXPECT_EQ(slice(B, 1, n), values) << "n=" << n << " k=" << k;
      EXPECT_EQ(C[static_cast<std::size_t>(values.front())], 0) << "no value is below the smallest";
      EXPECT_EQ(C.back(), kUntouched);
    }
  }
}

}  // namespace
