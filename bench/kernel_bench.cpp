// REKQSORT and COMQSORT against std::sort on identical data: values drawn
// from 1..1000000 as in the cutoff programs, and from 1..10 (many equal keys).
// Every iteration sorts a fresh copy of one pattern; the copy is untimed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "kit/combined_quicksort.hpp"
#include "kit/quicksort.hpp"
#include "kit/random_source.hpp"

namespace {

using Values = std::vector<std::int32_t>;

// A[0] is unused, as in the programs; values at 1..n.
Values pattern(std::int64_t n, std::int32_t range) {
  kit::RandomSource random(20240611);
  Values values(static_cast<std::size_t>(n) + 1, 0);
  for (std::size_t i = 1; i < values.size(); ++i) values[i] = random.below(range) + 1;
  return values;
}

template <class Sort>
void sort_copies(benchmark::State& state, Sort sort) {
  const Values original = pattern(state.range(0), static_cast<std::int32_t>(state.range(1)));
  Values work(original.size());
  const auto n = static_cast<std::int32_t>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    std::copy(original.begin(), original.end(), work.begin());
    state.ResumeTiming();
    sort(work.data(), n);
    benchmark::DoNotOptimize(work.data());
    benchmark::ClobberMemory();
  }
  if (!std::is_sorted(work.begin() + 1, work.end())) state.SkipWithError("not sorted");
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void std_sort(benchmark::State& state) {
  sort_copies(state, [](std::int32_t* A, std::int32_t n) { std::sort(A + 1, A + n + 1); });
}
void rekqsort(benchmark::State& state) {
  sort_copies(state, [](std::int32_t* A, std::int32_t n) { kit::REKQSORT(A, 1, n); });
}
// The two variants at the ends and the middle of the programs' cutoff ranges.
void comqsort_wide(benchmark::State& state) {
  const auto HRANICA = static_cast<std::int32_t>(state.range(2));
  sort_copies(state, [HRANICA](std::int32_t* A, std::int32_t n) {
    kit::COMQSORT<kit::CutoffMeasure::kIndexSpan>(A, 1, n, HRANICA);
  });
}
void comqsort_narrow(benchmark::State& state) {
  const auto HRANICA = static_cast<std::int32_t>(state.range(2));
  sort_copies(state, [HRANICA](std::int32_t* A, std::int32_t n) {
    kit::COMQSORT<kit::CutoffMeasure::kElementCount>(A, 1, n, HRANICA);
  });
}

// Arguments: n, value range[, HRANICA].
void lengths_and_ranges(benchmark::internal::Benchmark* b) {
  for (std::int64_t n : {100000, 1000000, 10000000}) {
    for (std::int64_t range : {1000000, 10}) b->Args({n, range});
  }
}
template <std::int64_t... Cutoffs>
void with_cutoffs(benchmark::internal::Benchmark* b) {
  for (std::int64_t n : {100000, 1000000, 10000000}) {
    for (std::int64_t range : {1000000, 10}) {
      for (std::int64_t cutoff : {Cutoffs...}) b->Args({n, range, cutoff});
    }
  }
}

BENCHMARK(std_sort)->Apply(lengths_and_ranges)->Unit(benchmark::kMillisecond);
BENCHMARK(rekqsort)->Apply(lengths_and_ranges)->Unit(benchmark::kMillisecond);
BENCHMARK(comqsort_wide)->Apply(with_cutoffs<21, 25, 29>)->Unit(benchmark::kMillisecond);
BENCHMARK(comqsort_narrow)->Apply(with_cutoffs<3, 6, 9>)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
