#include "kit/work_counts.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "kit/bubble_sort.hpp"
#include "kit/combined_quicksort.hpp"
#include "kit/counting_sort.hpp"
#include "kit/heap_sort.hpp"
#include "kit/insertion_sort.hpp"
#include "kit/kernel_names.hpp"
#include "kit/merge_sort.hpp"
#include "kit/quicksort.hpp"
#include "kit/selection_sort.hpp"

namespace kit {
namespace {

// A sum of well-mixed values: the same for every order of the same values,
// and almost surely different when one is lost or changed.
std::uint64_t multiset_hash(std::uint64_t sum, Element value) {
  std::uint64_t x = static_cast<std::uint32_t>(value) + 0x9e3779b97f4a7c15u;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9u;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebu;
  return sum + (x ^ (x >> 31));
}

template <class Key>
void check_sorted(std::string_view kernel, const std::vector<Key>& sorted, std::uint64_t hash_before,
                  Element (*key_of)(const Key&)) {
  std::uint64_t hash_after = 0;
  for (std::size_t i = 1; i < sorted.size(); ++i) {
    hash_after = multiset_hash(hash_after, key_of(sorted[i]));
    if (i > 1 && key_of(sorted[i - 1]) > key_of(sorted[i])) {
      throw std::logic_error(std::string(kernel) + " left position " + std::to_string(i) + " out of order");
    }
  }
  if (hash_after != hash_before) throw std::logic_error(std::string(kernel) + " lost or changed values");
}

template <class Value>
bool is_element(Value value) {
  if constexpr (std::is_signed_v<Value>) {
    if (value < 0) return false;
  }
  return static_cast<std::uint32_t>(value) <= static_cast<std::uint32_t>(std::numeric_limits<Element>::max());
}

// The comparison sorts of the kit on A[1..N] of counting elements.
void sort_counted(std::string_view kernel, CountedElement* A, std::int32_t N, const WorkParameters& parameters) {
  if (kernel == kQuicksortName.name) {
    QSORT(A, 1, N);
  } else if (kernel == kRecursiveQuicksortName.name) {
    REKQSORT(A, 1, N);
  } else if (kernel == kCombinedQuicksortName.name) {
    if (parameters.measure == CutoffMeasure::kIndexSpan) {
      COMQSORT<CutoffMeasure::kIndexSpan>(A, 1, N, parameters.cutoff);
    } else {
      COMQSORT<CutoffMeasure::kElementCount>(A, 1, N, parameters.cutoff);
    }
  } else if (kernel == kMergeSortName.name) {
    std::vector<CountedElement> B(static_cast<std::size_t>(N) + 1);
    MSORT(A, 1, N, B.data());
  } else if (kernel == kHeapSortName.name) {
    HSORT(A, N);
  } else if (kernel == kBubbleSortName.name) {
    BSORT(A, 1, N);
  } else if (kernel == kInsertionSortName.name) {
    ISORT(A, 1, N);
  } else if (kernel == kSelectionSortName.name) {
    SSORT(A, 1, N);
  }
}

}  // namespace

namespace {

template <class Value>
WorkCounts count_work_of(std::string_view kernel, std::span<const Value> data, const WorkParameters& parameters) {
  if (kernel_legend(kernel).empty()) throw std::invalid_argument("no kernel named '" + std::string(kernel) + "'");
  if (data.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() - 1)) {
    throw std::invalid_argument("more values than a POLE holds");
  }
  const auto N = static_cast<std::int32_t>(data.size());
  std::uint64_t hash = 0;
  for (const Value value : data) {
    if (!is_element(value)) {
      throw std::invalid_argument("value " + std::to_string(value) + " is no Element");
    }
    hash = multiset_hash(hash, static_cast<Element>(value));
  }

  if (kernel == kCountingSortName.name) {
    const std::int32_t K = parameters.value_range;
    if (K < 1) throw std::invalid_argument("CSORT needs a value range of at least 1");
    std::vector<Element> A(data.size() + 1);
    std::transform(data.begin(), data.end(), A.begin() + 1, [](Value value) { return static_cast<Element>(value); });
    if (std::any_of(A.begin() + 1, A.end(), [K](Element value) { return value < 1 || value > K; })) {
      throw std::invalid_argument("CSORT data outside 1.." + std::to_string(K));
    }
    std::vector<Element> B(data.size() + 1);
    std::vector<Element> C(static_cast<std::size_t>(K) + 1);
    reset_thread_work_counts();
    CSORT(A.data(), N, K, B.data(), C.data(), CountedCounters{});
    const WorkCounts counts = thread_work_counts();
    check_sorted<Element>(kernel, A, hash, [](const Element& value) { return value; });
    return counts;
  }

  std::vector<CountedElement> A;
  A.reserve(data.size() + 1);
  A.emplace_back(0);
  for (const Value value : data) A.emplace_back(static_cast<Element>(value));
  reset_thread_work_counts();
  // The programs never sort no elements (QSORT may not); the work is none.
  if (N > 0) sort_counted(kernel, A.data(), N, parameters);
  const WorkCounts counts = thread_work_counts();
  check_sorted<CountedElement>(kernel, A, hash, [](const CountedElement& element) { return element.key(); });
  return counts;
}

}  // namespace

WorkCounts count_work(std::string_view kernel, std::span<const std::uint32_t> data, const WorkParameters& parameters) {
  return count_work_of(kernel, data, parameters);
}

WorkCounts count_work(std::string_view kernel, std::span<const Element> data, const WorkParameters& parameters) {
  return count_work_of(kernel, data, parameters);
}

}  // namespace kit
