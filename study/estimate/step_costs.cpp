#include "study/estimate/step_costs.hpp"

#include <algorithm>
#include <cmath>
#include <variant>

namespace study {
namespace {

using cutoff::CutoffProgram;
using quickvscount::FileDuelProgram;
using quickvscount::GridDuelProgram;
using smallarrays::SmallArrayProgram;

// Nanoseconds of the reference machine (2 cores, g++ -O2), rounded. They
// set the ratios between the parts of a step; the fit rescales them.
constexpr double kTouchPerByte = 0.4;     // obtaining and clearing the arrays at start
constexpr double kDrawPerValue = 0.5;     // one random value into an array
constexpr double kCopyPerValue = 0.3;     // one value copied to the second array
constexpr double kWritePerByte = 4.0;     // the duel's input file, formatted and written
constexpr double kReadPerByte = 1.5;      // and read back, one input per step
constexpr double kQuicksortLevel = 3.5;   // one element through one partition level
constexpr double kEqualKeyLevel = 0.15;   // a level over one-value ranges, as a share of that
constexpr double kCountingPerItem = 7.0;  // counting sort, per element and per value of the range
constexpr double kNanosecond = 1e-9;

// One sort of one short array: a call, a part per element, and a part per
// n log2 n (quick, merge and heap sort) or per n^2 (the others), fitted to
// every length of both programs. At these lengths the fixed and linear parts
// still weigh: a pure n^2 took the first rows' pace for half again the last
// rows' time.
struct ShortArrayCost {
  double per_array;
  double per_element;
  double growing;
  bool n_log_n;  // the growing part goes as n log2 n, else as n^2
};
constexpr ShortArrayCost small_array_kernel(smallarrays::Algorithm algorithm) {
  switch (algorithm) {
    case smallarrays::Algorithm::QS:
      return {66.0, 0.0, 4.9, true};
    case smallarrays::Algorithm::MS:
      return {53.0, 0.0, 4.5, true};
    case smallarrays::Algorithm::HS:
      return {25.0, 0.0, 4.0, true};
    case smallarrays::Algorithm::BS:
      return {0.0, 4.5, 2.9, false};  // passes until one exchanges nothing: about n of them
    case smallarrays::Algorithm::IS:
      return {0.0, 7.9, 0.104, false};
    case smallarrays::Algorithm::SS:
      return {0.0, 7.6, 0.433, false};
  }
  return {0.0, 0.0, 0.0, false};
}

double log2_of(double x) { return std::log2(std::max(x, 2.0)); }

// Bytes of one value of 1..range as the input file holds it: its digits and a space.
double text_bytes(std::int64_t range) {
  double digits = 1;
  for (std::int64_t rest = std::max<std::int64_t>(range - 1, 1); rest >= 10; rest /= 10) ++digits;
  return digits + 1;
}

// One cell of a grid: fresh data, a copy, and the two sorts.
StepCost duel_cell(std::int64_t n, std::int64_t range) {
  const auto values = static_cast<double>(n);
  return {.n_log_n = kQuicksortLevel * quicksort_work(n, range),
          .other = kCountingPerItem * static_cast<double>(n + range) + (kDrawPerValue + kCopyPerValue) * values};
}

// Each program's steps, and what its start costs beyond the arrays.
ProgramCost cost_of(const SmallArrayProgram& program) {
  ProgramCost cost;
  const auto arrays = static_cast<double>(program.arrays);
  // Every row refills whole arrays and restores them before each column,
  // whatever length that row sorts.
  const double slots = arrays * program.last_slot;
  const double moving = slots * (kDrawPerValue + kCopyPerValue * static_cast<double>(program.algorithms.size()));
  for (const std::int32_t length : program.lengths) {
    const double n = length;
    StepCost step{.other = moving};
    for (const smallarrays::Algorithm algorithm : program.algorithms) {
      const ShortArrayCost kernel = small_array_kernel(algorithm);
      const double growth = kernel.n_log_n ? n * log2_of(n) : n * n;
      (kernel.n_log_n ? step.n_log_n : step.other) +=
          arrays * (kernel.per_array + kernel.per_element * n + kernel.growing * growth);
    }
    cost.steps.push_back(step);
  }
  return cost;
}

ProgramCost cost_of(const FileDuelProgram& program) {
  const auto& counts = program.inputs.POCET_PRVKOV;
  const auto& ranges = program.inputs.ROZSAH_VSTUPU;
  double file_bytes = 0;
  for (std::size_t i = 0; i < counts.size(); ++i) file_bytes += counts[i] * text_bytes(ranges[i]);
  ProgramCost cost{.start = {.other = kWritePerByte * file_bytes}, .steps = {}};
  for (std::size_t i = 0; i < counts.size(); ++i) {
    StepCost step = duel_cell(counts[i], ranges[i]);
    // The input comes from the file, not from the generator.
    step.other += (kReadPerByte * text_bytes(ranges[i]) - kDrawPerValue) * counts[i];
    cost.steps.push_back(step);
  }
  return cost;
}

ProgramCost cost_of(const GridDuelProgram& program) {
  ProgramCost cost;
  for (const std::int32_t n : program.lengths) {
    std::int64_t range = 1;
    for (std::int32_t column = 1; column <= program.ranges; ++column) {
      range *= 10;
      cost.steps.push_back(duel_cell(n, range));
    }
  }
  return cost;
}

ProgramCost cost_of(const CutoffProgram& program) {
  ProgramCost cost;
  for (const std::int32_t n : program.lengths) {
    // Both kernels partition alike; the cutoff changes only the last few levels.
    const StepCost cell{.n_log_n = 2 * kQuicksortLevel * quicksort_work(n, cutoff::kValueRange),
                        .other = (kDrawPerValue + kCopyPerValue) * n};
    cost.steps.insert(cost.steps.end(), static_cast<std::size_t>(program.cutoffs), cell);
  }
  return cost;
}

}  // namespace

double quicksort_work(std::int64_t n, std::int64_t k) {
  const double levels = log2_of(static_cast<double>(n));
  const double distinct = std::min(levels, log2_of(static_cast<double>(k)));
  return static_cast<double>(n) * (distinct + kEqualKeyLevel * (levels - distinct));
}

ProgramCost program_cost(const analysis::SuiteProgram& program) {
  ProgramCost cost = std::visit([](const auto* parameters) { return cost_of(*parameters); }, program.parameters);
  cost.start.other += kTouchPerByte * static_cast<double>(program.array_bytes);
  const auto to_seconds = [](StepCost& step) {
    step.n_log_n *= kNanosecond;
    step.other *= kNanosecond;
  };
  to_seconds(cost.start);
  std::for_each(cost.steps.begin(), cost.steps.end(), to_seconds);
  return cost;
}

double cost_through(const ProgramCost& cost, int steps) {
  double sum = steps > 0 ? cost.start.total() : 0.0;
  for (int s = 0; s < steps; ++s) sum += cost.steps[static_cast<std::size_t>(s)].total();
  return sum;
}

double cost_share(const ProgramCost& cost, int steps) {
  const int all_steps = static_cast<int>(cost.steps.size());
  const double all = cost_through(cost, all_steps);
  if (steps <= 0 || all <= 0) return 0.0;
  return cost_through(cost, std::min(steps, all_steps)) / all;
}

}  // namespace study
