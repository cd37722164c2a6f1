// The programs' random fill: the bulk stream (its fastest and its portable
// kernel) against std::mt19937 with one multiply-shift draw per element (the
// same values), and against storing a constant (std::fill), the floor set by
// memory. Two shapes: one array of 50,000,000 values, as the largest grid
// cells, and 1,000,000 arrays of 80 laid end to end with stride 81 and slots
// 1..80, as the small-array programs. Values lie in 1..1000000. Each
// iteration is one whole fill; the counter per_value is the time per value
// written (CPU time, median of five repetitions). The context at the top
// names the kernel of the bulk stream (mt19937_kernel: avx2, neon or portable).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "kit/mt19937_stream.hpp"
#include "kit/random_source.hpp"

namespace {

constexpr std::uint32_t kSeed = 20240611;
constexpr std::int32_t kBound = 1000000;

constexpr std::size_t kLongLength = 50'000'000;
constexpr std::size_t kArrays = 1'000'000;
constexpr std::size_t kSlots = 80;
constexpr std::size_t kStride = kSlots + 1;

using Values = std::vector<std::int32_t>;

// Shown as the time per value written, e.g. "per_value=292ps".
void report(benchmark::State& state, std::size_t values_per_iteration) {
  state.counters["per_value"] =
      benchmark::Counter(static_cast<double>(values_per_iteration),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// What the programs did before: one draw of the standard engine per element.
struct StandardEngine {
  std::mt19937 engine{kSeed};
  void fill(std::int32_t* first, std::size_t count) {
    for (std::size_t k = 0; k < count; ++k) {
      first[k] = static_cast<std::int32_t>((std::uint64_t{kBound} * engine()) >> 32) + 1;
    }
  }
};

struct BulkStream {
  kit::RandomSource random{kSeed};
  void fill(std::int32_t* first, std::size_t count) { random.fill_from_one_to(first, count, kBound); }
};

struct PortableStream {
  kit::Mt19937Stream stream{kSeed, kit::Mt19937Stream::Kernel::portable};
  void fill(std::int32_t* first, std::size_t count) {
    stream.fill_from_one_to(reinterpret_cast<std::uint32_t*>(first), count, kBound);
  }
};

struct StoreOnly {
  std::int32_t value = 0;
  void fill(std::int32_t* first, std::size_t count) { std::fill_n(first, count, ++value); }
};

// The vector is zero-filled when made, so its pages are in place before timing.
template <class Fill>
void long_array(benchmark::State& state) {
  Values A(kLongLength + 1, 0);
  Fill fill;
  for (auto _ : state) {
    fill.fill(A.data() + 1, kLongLength);
    benchmark::DoNotOptimize(A.data());
    benchmark::ClobberMemory();
  }
  report(state, kLongLength);
}

template <class Fill>
void many_short_arrays(benchmark::State& state) {
  Values VZOR(kArrays * kStride, 0);
  Fill fill;
  for (auto _ : state) {
    for (std::size_t J = 0; J < kArrays; ++J) fill.fill(VZOR.data() + J * kStride + 1, kSlots);
    benchmark::DoNotOptimize(VZOR.data());
    benchmark::ClobberMemory();
  }
  report(state, kArrays * kSlots);
}

void configure(benchmark::internal::Benchmark* benchmark) {
  benchmark->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

}  // namespace

BENCHMARK(long_array<BulkStream>)->Apply(configure);
BENCHMARK(long_array<PortableStream>)->Apply(configure);
BENCHMARK(long_array<StandardEngine>)->Apply(configure);
BENCHMARK(long_array<StoreOnly>)->Apply(configure);
BENCHMARK(many_short_arrays<BulkStream>)->Apply(configure);
BENCHMARK(many_short_arrays<PortableStream>)->Apply(configure);
BENCHMARK(many_short_arrays<StandardEngine>)->Apply(configure);
BENCHMARK(many_short_arrays<StoreOnly>)->Apply(configure);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::AddCustomContext("mt19937_kernel", std::string(kit::Mt19937Stream(kSeed).kernel_name()));
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
