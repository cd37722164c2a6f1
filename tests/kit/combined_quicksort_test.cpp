// COMQSORT in both variants: where the cutoff falls, what ISORT does below
// it, and that the result never differs from REKQSORT's.
#include "kit/combined_quicksort.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <numeric>
#include <random>
#include <vector>

#include "kit/insertion_sort.hpp"
#include "kit/quicksort.hpp"
#include "support/instrumented_element.hpp"

namespace {

using kit::CutoffMeasure;
using test_support::Probe;
using test_support::probes_at_one;
using test_support::tags_of;
using test_support::tally;
using Keys = std::vector<std::int32_t>;

struct Counts {
  std::int64_t comparisons, copies, assignments;
  bool operator==(const Counts&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Counts& c) {
  return out << "{" << c.comparisons << " comparisons, " << c.copies << " copies, " << c.assignments << " assignments}";
}
Counts counted() { return {tally().comparisons, tally().copies, tally().assignments}; }

// Sorts A[1..n] of fresh probes with the given kernel, counting what it does.
template <class Kernel>
std::vector<Probe> sorted_by(Kernel kernel, const Keys& keys) {
  auto probes = probes_at_one(keys);
  test_support::watch(probes.data(), probes.size());
  kernel(probes.data(), static_cast<std::int32_t>(keys.size()));
  return probes;
}

template <CutoffMeasure Measure>
auto combined(std::int32_t HRANICA) {
  return [HRANICA](auto* A, std::int32_t n) { kit::COMQSORT<Measure>(A, 1, n, HRANICA); };
}
const auto insertion = [](auto* A, std::int32_t n) { kit::ISORT(A, 1, n); };

Keys equal_keys(std::size_t n) { return Keys(n, 7); }
Keys tag_range(std::int32_t from, std::int32_t to) {
  Keys tags(static_cast<std::size_t>(to - from + 1));
  std::iota(tags.begin(), tags.end(), from);
  return tags;
}
Keys concat(Keys a, const Keys& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Equal keys make the order of the tags a fingerprint: ISORT reverses a run
// of equal keys, QSORT's partition exchanges symmetric pairs.
TEST(CombinedQuicksortCutoff, WideVariantInsertionSortsTwentyTwoElementsAtCutoffTwentyOne) {
  const auto by_isort = sorted_by(insertion, equal_keys(22));
  const Counts isort_counts = counted();
  const auto by_comqsort = sorted_by(combined<CutoffMeasure::kIndexSpan>(21), equal_keys(22));
  EXPECT_EQ(counted(), isort_counts);
  EXPECT_EQ(tags_of(by_comqsort, 1, 22), tags_of(by_isort, 1, 22));
  Keys reversed = tag_range(1, 22);
  std::reverse(reversed.begin(), reversed.end());
  EXPECT_EQ(tags_of(by_comqsort, 1, 22), reversed);
}

TEST(CombinedQuicksortCutoff, WideVariantPartitionsTwentyThreeElementsAtCutoffTwentyOne) {
  // Pairs (1,23)..(11,13) are exchanged, the middle element stays, and each
  // eleven-element part is reversed by ISORT.
  const auto probes = sorted_by(combined<CutoffMeasure::kIndexSpan>(21), equal_keys(23));
  EXPECT_EQ(tags_of(probes, 1, 23), concat(concat(tag_range(13, 23), {12}), tag_range(1, 11)));
}

TEST(CombinedQuicksortCutoff, NarrowVariantInsertionSortsThreeAndPartitionsFourAtCutoffThree) {
  const auto three = sorted_by(combined<CutoffMeasure::kElementCount>(3), equal_keys(3));
  EXPECT_EQ(tags_of(three, 1, 3), Keys({3, 2, 1}));
  EXPECT_EQ(counted(), (Counts{3, 2, 5}));  // ISORT alone: three shifts, two placements

  const auto four = sorted_by(combined<CutoffMeasure::kElementCount>(3), equal_keys(4));
  EXPECT_EQ(tags_of(four, 1, 4), Keys({3, 4, 1, 2}));
  // One partition pass (6 comparisons, the pivot, two exchanges), then ISORT
  // on two pairs (one comparison, one shift and one placement each).
  EXPECT_EQ(counted(), (Counts{6 + 2, 1 + 2 + 2, 4 + 4}));
}

TEST(CombinedQuicksortCutoff, AOneElementRangeCostsNothingInEitherVariant) {
  // QSORT would still make a partition pass here; ISORT makes none.
  sorted_by(combined<CutoffMeasure::kIndexSpan>(21), {5});
  EXPECT_EQ(counted(), (Counts{0, 0, 0}));
  sorted_by(combined<CutoffMeasure::kElementCount>(3), {5});
  EXPECT_EQ(counted(), (Counts{0, 0, 0}));
}

TEST(CombinedQuicksortCutoff, ACutoffCoveringTheWholeArrayMakesExactlyTheMovesOfOneIsort) {
  std::mt19937 random(4242);
  for (std::int32_t n : {2, 9, 30, 64}) {
    Keys keys(static_cast<std::size_t>(n));
    for (auto& key : keys) key = static_cast<std::int32_t>(random() % 6);
    const auto by_isort = sorted_by(insertion, keys);
    const Counts isort_counts = counted();
    for (std::int32_t extra : {0, 5}) {
      const auto wide = sorted_by(combined<CutoffMeasure::kIndexSpan>(n - 1 + extra), keys);
      EXPECT_EQ(counted(), isort_counts) << "wide n=" << n;
      EXPECT_EQ(tags_of(wide, 1, keys.size()), tags_of(by_isort, 1, keys.size()));
      const auto narrow = sorted_by(combined<CutoffMeasure::kElementCount>(n + extra), keys);
      EXPECT_EQ(counted(), isort_counts) << "narrow n=" << n;
      EXPECT_EQ(tags_of(narrow, 1, keys.size()), tags_of(by_isort, 1, keys.size()));
    }
  }
}

TEST(CombinedQuicksortResult, EqualsRekqsortForEveryCutoffOnRandomAndRepetitiveData) {
  std::mt19937 random(99);
  for (std::int32_t n : {1, 2, 3, 4, 9, 10, 21, 22, 23, 30, 31, 100, 1000}) {
    for (std::uint32_t distinct : {1u, 3u, 50u, 1000000u}) {
      Keys keys(static_cast<std::size_t>(n));
      for (auto& key : keys) key = static_cast<std::int32_t>(random() % distinct) + 1;
      Keys expected = keys;
      expected.insert(expected.begin(), 0);
      kit::REKQSORT(expected.data(), 1, n);
      for (std::int32_t HRANICA : {0, 1, 3, 9, 21, 29, 200}) {
        Keys wide = keys, narrow = keys;
        wide.insert(wide.begin(), 0);
        narrow.insert(narrow.begin(), 0);
        kit::COMQSORT<CutoffMeasure::kIndexSpan>(wide.data(), 1, n, HRANICA);
        kit::COMQSORT<CutoffMeasure::kElementCount>(narrow.data(), 1, n, HRANICA);
        EXPECT_EQ(wide, expected) << "wide n=" << n << " distinct=" << distinct << " HRANICA=" << HRANICA;
        EXPECT_EQ(narrow, expected) << "narrow n=" << n << " distinct=" << distinct << " HRANICA=" << HRANICA;
      }
    }
  }
}

TEST(CombinedQuicksortResult, SortsOnlyItsRangeAndHandlesBothExtremes) {
  const Keys keys{9, INT_MAX, 0, INT_MIN, -1, 1, INT_MAX, INT_MIN, 7, 9};
  for (std::int32_t HRANICA : {0, 3, 21}) {
    auto probes = probes_at_one(keys);
    test_support::watch(probes.data(), probes.size());
    kit::COMQSORT<CutoffMeasure::kElementCount>(probes.data(), 2, 9, HRANICA);
    EXPECT_EQ(test_support::keys_of(probes, 1, 10), Keys({9, INT_MIN, INT_MIN, -1, 0, 1, 7, INT_MAX, INT_MAX, 9}));
    EXPECT_TRUE(test_support::touched_outside(tally(), 2, 9).empty()) << "HRANICA=" << HRANICA;
  }
}

}  // namespace
