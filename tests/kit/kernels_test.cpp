// The comparison sort kernels: exact behaviour (counts, tie order, positions
// touched), not only sorted output.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <random>
#include <vector>

#include "kit/bubble_sort.hpp"
#include "kit/heap_sort.hpp"
#include "kit/insertion_sort.hpp"
#include "kit/merge_sort.hpp"
#include "kit/quicksort.hpp"
#include "kit/selection_sort.hpp"
#include "support/instrumented_element.hpp"

namespace {

using test_support::Probe;
using test_support::probes_at_one;
using test_support::tags_of;
using test_support::tally;
using test_support::touched_outside;
using test_support::watch;
using Keys = std::vector<std::int32_t>;

// Runs one kernel over A[1..n] of an array with room on both sides.
template <class T>
using Kernel = std::function<void(T* A, std::int32_t n)>;
using ProbeKernel = Kernel<Probe>;

template <class T>
struct NamedKernel {
  const char* name;
  Kernel<T> sort;
};

// Every kernel, instantiated for T; MSORT gets a scratch array of its own.
template <class T>
std::vector<NamedKernel<T>> all_kernels() {
  // Allocated here, before any watch begins, and long enough for every test.
  static std::vector<T> merge_scratch(1024);
  return {
      {"QSORT", [](T* A, std::int32_t n) { kit::QSORT(A, 1, n); }},
      {"ISORT", [](T* A, std::int32_t n) { kit::ISORT(A, 1, n); }},
      {"BSORT", [](T* A, std::int32_t n) { kit::BSORT(A, 1, n); }},
      {"SSORT", [](T* A, std::int32_t n) { kit::SSORT(A, 1, n); }},
      {"MSORT", [](T* A, std::int32_t n) { kit::MSORT(A, 1, n, merge_scratch.data()); }},
      {"HSORT", [](T* A, std::int32_t n) { kit::HSORT(A, n); }},
  };
}

// Sorts `keys` with `kernel`, watching the whole array, sentinels included.
std::vector<Probe> sorted_by(const ProbeKernel& kernel, const Keys& keys) {
  auto probes = probes_at_one(keys);
  watch(probes.data(), probes.size());
  kernel(probes.data(), static_cast<std::int32_t>(keys.size()));
  return probes;
}

Keys sorted_copy(Keys keys) {
  std::sort(keys.begin(), keys.end());
  return keys;
}

TEST(EveryKernel, SortsRandomDataOfManyLengthsLikeStdSort) {
  std::mt19937 random(12345);
  for (const auto& kernel : all_kernels<Probe>()) {
    for (std::int32_t n : {1, 2, 3, 4, 5, 7, 8, 16, 17, 31, 64, 65, 100, 257}) {
      for (std::int32_t distinct : {2, 5, 1000000}) {
        Keys keys(static_cast<std::size_t>(n));
        for (auto& key : keys) key = static_cast<std::int32_t>(random() % static_cast<unsigned>(distinct));
        const auto probes = sorted_by(kernel.sort, keys);
        EXPECT_EQ(test_support::keys_of(probes, 1, keys.size()), sorted_copy(keys))
            << kernel.name << " n=" << n << " distinct=" << distinct;
        EXPECT_TRUE(touched_outside(tally(), 1, keys.size()).empty()) << kernel.name << " n=" << n;
      }
    }
  }
}

TEST(EveryKernel, ComparesSignedThirtyTwoBitValuesAtBothExtremes) {
  // The production instantiation, on plain integers.
  const Keys keys{INT_MAX, 0, INT_MIN, -1, 1, INT_MAX, INT_MIN, 7};
  for (const auto& kernel : all_kernels<std::int32_t>()) {
    Keys plain(keys.size() + 1, 0);
    std::copy(keys.begin(), keys.end(), plain.begin() + 1);
    kernel.sort(plain.data(), static_cast<std::int32_t>(keys.size()));
    EXPECT_EQ(Keys(plain.begin() + 1, plain.end()), sorted_copy(keys)) << kernel.name;
  }
}

TEST(EveryKernel, LeavesASingleElementAlone) {
  for (const auto& kernel : all_kernels<Probe>()) {
    const auto probes = sorted_by(kernel.sort, {42});
    EXPECT_EQ(tally().assignments, 0) << kernel.name;
    EXPECT_EQ(probes[1].tag(), 1) << kernel.name;
  }
}

TEST(EmptyRange, ChangesAndReadsNothing) {
  auto probes = probes_at_one({3, 2, 1});
  watch(probes.data(), probes.size());
  kit::ISORT(probes.data(), 2, 1);
  kit::BSORT(probes.data(), 2, 1);
  kit::SSORT(probes.data(), 2, 1);
  kit::MSORT(probes.data(), 2, 1, probes.data());
  kit::HSORT(probes.data(), 0);
  EXPECT_EQ(tally().comparisons + tally().copies + tally().assignments, 0);
}

TEST(Quicksort, OnFiveThreeTakesFiveAsPivotExchangesOnceAndCallsTwiceOnOneElement) {
  sorted_by([](Probe* A, std::int32_t n) { kit::QSORT(A, 1, n); }, {5, 3});
  // Top pass: 4 comparisons, one exchange; each one-element call: one pivot
  // copy and two comparisons.
  EXPECT_EQ(tally().comparisons, 8);
  EXPECT_EQ(tally().copies, 3 + 1);  // three pivots and one exchange temporary
  EXPECT_EQ(tally().assignments, 2);
}

TEST(Quicksort, OnEqualKeysExchangesSymmetricPairsAndSplitsInTheMiddle) {
  const ProbeKernel qsort = [](Probe* A, std::int32_t n) { kit::QSORT(A, 1, n); };
  // Four: (1,4) and (2,3) exchanged, then each half reversed again.
  EXPECT_EQ(tags_of(sorted_by(qsort, {7, 7, 7, 7}), 1, 4), Keys({3, 4, 1, 2}));
  // Five: the middle element stops both scans and stays where it is.
  EXPECT_EQ(tags_of(sorted_by(qsort, {7, 7, 7, 7, 7}), 1, 5), Keys({4, 5, 3, 1, 2}));
}

TEST(Quicksort, RekqsortIsTheSameKernel) {
  const auto by_qsort = sorted_by([](Probe* A, std::int32_t n) { kit::QSORT(A, 1, n); }, {4, 1, 4, 2, 9, 4});
  const auto counts = tally();
  const auto by_rekqsort = sorted_by([](Probe* A, std::int32_t n) { kit::REKQSORT(A, 1, n); }, {4, 1, 4, 2, 9, 4});
  EXPECT_EQ(tags_of(by_qsort, 1, 6), tags_of(by_rekqsort, 1, 6));
  EXPECT_EQ(counts.comparisons, tally().comparisons);
  EXPECT_EQ(counts.assignments, tally().assignments);
}

TEST(InsertionSort, ShiftsEqualElementsToo) {
  const auto probes = sorted_by([](Probe* A, std::int32_t n) { kit::ISORT(A, 1, n); }, {2, 2, 1});
  // Three shifts (one for the equal pair) and two placements.
  EXPECT_EQ(tally().assignments, 5);
  EXPECT_EQ(tally().copies, 2);
  EXPECT_EQ(tags_of(probes, 1, 3), Keys({3, 2, 1}));
}

TEST(InsertionSort, NeverTouchesTheElementBeforeItsRange) {
  auto probes = probes_at_one({1, 9, 8, 7, 1});
  watch(probes.data(), probes.size());
  kit::ISORT(probes.data(), 2, 4);
  EXPECT_EQ(test_support::keys_of(probes, 1, 5), Keys({1, 7, 8, 9, 1}));
  EXPECT_EQ(touched_outside(tally(), 2, 4), std::vector<std::size_t>{});
}

TEST(BubbleSort, MakesOnePassOverASortedRangeAndNPassesOverADescendingOne) {
  const ProbeKernel bsort = [](Probe* A, std::int32_t n) { kit::BSORT(A, 1, n); };
  sorted_by(bsort, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(tally().comparisons, 5);
  EXPECT_EQ(tally().assignments, 0);
  sorted_by(bsort, {6, 5, 4, 3, 2, 1});
  EXPECT_EQ(tally().comparisons, 6 * 5);  // six full passes, none shortened
  EXPECT_EQ(tally().copies, 15);          // one exchange per inversion
}

TEST(BubbleSort, NeverExchangesEqualNeighbours) {
  const auto probes = sorted_by([](Probe* A, std::int32_t n) { kit::BSORT(A, 1, n); }, {2, 1, 2, 1});
  EXPECT_EQ(tags_of(probes, 1, 4), Keys({2, 4, 1, 3}));
}

TEST(SelectionSort, ExchangesExactlyOnceFewerThanTheElementsWhateverTheData) {
  const ProbeKernel ssort = [](Probe* A, std::int32_t n) { kit::SSORT(A, 1, n); };
  for (const Keys& keys : {Keys{1, 2, 3, 4, 5}, Keys{5, 4, 3, 2, 1}, Keys{3, 3, 3, 3, 3}, Keys{2, 9, 1, 9, 0}}) {
    sorted_by(ssort, keys);
    EXPECT_EQ(tally().copies, 4);
    EXPECT_EQ(tally().assignments, 8);
    EXPECT_EQ(tally().comparisons, 4 + 3 + 2 + 1);
  }
}

TEST(SelectionSort, ChoosesTheLeftmostOfEqualMinima) {
  const auto probes = sorted_by([](Probe* A, std::int32_t n) { kit::SSORT(A, 1, n); }, {3, 1, 2, 1});
  EXPECT_EQ(tags_of(probes, 1, 4), Keys({2, 4, 3, 1}));
}

TEST(MergeSort, OnTwoOneTwoWritesScratchOnlyAtTheSameIndices) {
  auto probes = probes_at_one({2, 1, 2});
  std::vector<Probe> B(5, Probe{-5, -5});
  watch(probes.data(), probes.size());
  test_support::watch_also(B.data(), B.size());
  kit::MSORT(probes.data(), 1, 3, B.data());
  EXPECT_EQ(test_support::keys_of(probes, 1, 3), Keys({1, 2, 2}));
  // On equal keys the right half's element comes first.
  EXPECT_EQ(tags_of(probes, 1, 3), Keys({2, 3, 1}));
  EXPECT_EQ(touched_outside(tally(), 1, 3), std::vector<std::size_t>{});
  EXPECT_EQ(touched_outside(test_support::tally_of_second(), 1, 3), std::vector<std::size_t>{});
}

TEST(MergeSort, MergesTheRightHalfReversedTakingItFirstOnTies) {
  auto probes = probes_at_one({7, 7, 7, 7});
  std::vector<Probe> B(6);
  kit::MSORT(probes.data(), 1, 4, B.data());
  EXPECT_EQ(tags_of(probes, 1, 4), Keys({4, 3, 1, 2}));
}

TEST(HeapSort, NeverTouchesIndexZeroOrAnythingAboveN) {
  auto probes = probes_at_one({5, 9, 1, 7, 3, 3, 8, 2});
  watch(probes.data(), probes.size());
  kit::HSORT(probes.data(), 5);
  EXPECT_EQ(test_support::keys_of(probes, 1, 8), Keys({1, 3, 5, 7, 9, 3, 8, 2}));
  EXPECT_EQ(touched_outside(tally(), 1, 5), std::vector<std::size_t>{});
}

TEST(HeapSort, PrefersTheParentAndThenTheLeftChildOnTies) {
  const ProbeKernel hsort = [](Probe* A, std::int32_t n) { kit::HSORT(A, n); };
  // Equal children: the left one moves up.
  EXPECT_EQ(tags_of(sorted_by(hsort, {1, 5, 5}), 1, 3), Keys({1, 3, 2}));
  // All equal: no sift moves anything, only the exchanges with the root.
  const auto probes = sorted_by(hsort, {4, 4, 4, 4});
  EXPECT_EQ(tally().copies, 3);
  EXPECT_EQ(tags_of(probes, 1, 4), Keys({2, 3, 4, 1}));
}

}  // namespace
