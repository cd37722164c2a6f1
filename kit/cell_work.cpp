#include "kit/cell_work.hpp"

#include <algorithm>
#include <cmath>
#include <exception>
#include <thread>

#include "kit/kernel_names.hpp"

namespace kit {

void SampleWork::add(const WorkCounts& counts) {
  const std::int64_t depth = std::max(total_.max_depth, counts.max_depth);
  total_.comparisons += counts.comparisons;
  total_.copies += counts.copies;
  total_.assignments += counts.assignments;
  total_.swaps += counts.swaps;
  total_.calls += counts.calls;
  total_.increments += counts.increments;
  total_.scanned += counts.scanned;
  total_.max_depth = depth;
  ++counted_;
  comparison_squares_ += static_cast<double>(counts.comparisons) * static_cast<double>(counts.comparisons);
  move_squares_ += static_cast<double>(moves(counts)) * static_cast<double>(moves(counts));
}

namespace {

// The standard error of a sample's mean, with the finite-population
// correction: none when the sample is the whole batch.
double standard_error(double sum, double squares, std::int64_t counted, std::int64_t arrays) {
  if (counted < 2 || counted >= arrays) return 0;
  const auto n = static_cast<double>(counted);
  const double mean = sum / n;
  const double variance = std::max(0.0, (squares - n * mean * mean) / (n - 1));
  const double correction = 1 - n / static_cast<double>(arrays);
  return std::sqrt(variance / n * correction);
}

}  // namespace

CellWork SampleWork::cell(std::size_t table, std::size_t row, std::size_t column, std::string_view kernel,
                          std::int64_t arrays) const {
  CellWork work{.table = table,
                .row = row,
                .column = column,
                .kernel = std::string(kernel),
                .arrays = arrays,
                .counted_arrays = counted_,
                .total = total_};
  work.comparisons_error =
      standard_error(static_cast<double>(total_.comparisons), comparison_squares_, counted_, arrays);
  work.moves_error = standard_error(static_cast<double>(moves(total_)), move_squares_, counted_, arrays);
  return work;
}

std::vector<std::int32_t> evenly_spaced_sample(std::int32_t arrays, std::int32_t count) {
  const std::int32_t taken = std::max(0, std::min(arrays, count));
  std::vector<std::int32_t> indices(static_cast<std::size_t>(taken));
  for (std::int32_t k = 0; k < taken; ++k) {
    indices[static_cast<std::size_t>(k)] = static_cast<std::int32_t>(static_cast<std::int64_t>(k) * arrays / taken);
  }
  return indices;
}

std::vector<WorkCounts> count_kernels(std::span<const Element> data, std::span<const KernelWork> kernels,
                                      bool together) {
  std::vector<WorkCounts> counts(kernels.size());
  if (!together || kernels.size() < 2) {
    for (std::size_t k = 0; k < kernels.size(); ++k)
      counts[k] = count_work(kernels[k].kernel, data, kernels[k].parameters);
    return counts;
  }
  // Each thread counts into its own thread's counts; a failure is handed on
  // to the caller once every thread has ended.
  std::vector<std::exception_ptr> failures(kernels.size());
  std::vector<std::thread> threads;
  for (std::size_t k = 1; k < kernels.size(); ++k) {
    threads.emplace_back([&, k] {
      try {
        counts[k] = count_work(kernels[k].kernel, data, kernels[k].parameters);
      } catch (...) {
        failures[k] = std::current_exception();
      }
    });
  }
  try {
    counts[0] = count_work(kernels[0].kernel, data, kernels[0].parameters);
  } catch (...) {
    failures[0] = std::current_exception();
  }
  for (std::thread& thread : threads) thread.join();
  for (const std::exception_ptr& failure : failures) {
    if (failure) std::rethrow_exception(failure);
  }
  return counts;
}

std::int64_t work_memory(std::string_view kernel, std::int64_t n, const WorkParameters& parameters) {
  const auto element = static_cast<std::int64_t>(sizeof(Element));
  if (kernel == kCountingSortName.name) return element * (2 * (n + 1) + parameters.value_range + 1);
  if (kernel == kMergeSortName.name) return element * 2 * (n + 1);
  return element * (n + 1);
}

void count_grid_cell(std::span<const Element> data, std::span<const KernelWork> kernels, std::size_t row,
                     std::size_t column, std::int64_t memory_limit, std::vector<CellWork>& cells) {
  const auto n = static_cast<std::int64_t>(data.size());
  auto needed = static_cast<std::int64_t>(data.size_bytes());
  for (const KernelWork& kernel : kernels) needed += work_memory(kernel.kernel, n, kernel.parameters);
  const std::vector<WorkCounts> counts = count_kernels(data, kernels, needed <= memory_limit);
  for (std::size_t table = 0; table < kernels.size(); ++table) {
    cells.push_back({.table = table,
                     .row = row,
                     .column = column,
                     .kernel = std::string(kernels[table].kernel),
                     .total = counts[table]});
  }
}

}  // namespace kit
