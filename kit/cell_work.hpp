// The work of one cell of a run, as a replay of the run's data counts it:
// every array the cell's timed window sorted, or an exact, evenly spaced
// sample of them when counting them all would take longer than the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kit/kernel_names.hpp"
#include "kit/program_storage.hpp"
#include "kit/work_counts.hpp"

namespace kit {

// CSORT sorts the programs' plain elements and tells only of its counters:
// its moves are not counted, the comparison sorts' are.
inline bool counts_moves(std::string_view kernel) { return kernel != kCountingSortName.name; }

// Elements moved: copied into a local or stored.
inline std::int64_t moves(const WorkCounts& counts) { return counts.copies + counts.assignments; }

struct CellWork {
  std::size_t table = 0;  // the cell's place, as the run's record gives it
  std::size_t row = 0;
  std::size_t column = 0;
  std::string kernel{};
  std::int64_t arrays = 1;          // arrays the window sorted
  std::int64_t counted_arrays = 1;  // of them counted
  WorkCounts total{};               // summed over the counted arrays; max_depth the deepest of them
  // Standard errors of the mean per array, as a sample estimates them; 0
  // when every array was counted.
  double comparisons_error = 0;
  double moves_error = 0;

  bool sampled() const { return counted_arrays < arrays; }
  // A count per array of the batch: exact when every array was counted.
  double per_array(std::int64_t count) const {
    return static_cast<double>(count) / static_cast<double>(counted_arrays);
  }
};

// Sums the counts of a sample of a batch's arrays, one array at a time.
class SampleWork {
 public:
  void add(const WorkCounts& counts);
  // The cell, the batch having sorted `arrays` arrays.
  CellWork cell(std::size_t table, std::size_t row, std::size_t column, std::string_view kernel,
                std::int64_t arrays) const;

 private:
  WorkCounts total_;
  std::int64_t counted_ = 0;
  double comparison_squares_ = 0;
  double move_squares_ = 0;
};

// The `count` indices of an evenly spaced sample of 0 .. arrays - 1 (all of
// them when count >= arrays): index k * arrays / count for k = 0 .. count - 1.
std::vector<std::int32_t> evenly_spaced_sample(std::int32_t arrays, std::int32_t count);

// What a replay tells as it goes: cells done of all its cells.
using ReplayProgress = std::function<void(std::size_t done, std::size_t cells)>;

// One kernel to count on a cell's data.
struct KernelWork {
  std::string_view kernel;
  WorkParameters parameters;
};

// The work of each kernel on its own copy of `data`, on a thread of its own
// when `together` (the copies all live at once), else one after the other.
std::vector<WorkCounts> count_kernels(std::span<const Element> data, std::span<const KernelWork> kernels,
                                      bool together);

// Bytes count_work needs besides the data, for `kernel` on n values.
std::int64_t work_memory(std::string_view kernel, std::int64_t n, const WorkParameters& parameters);

// A grid cell's kernels, kernel k timed in table k, counted on `data` and
// added to `cells` at (k, row, column); side by side when the data and
// every kernel's copy fit in `memory_limit` bytes.
void count_grid_cell(std::span<const Element> data, std::span<const KernelWork> kernels, std::size_t row,
                     std::size_t column, std::int64_t memory_limit, std::vector<CellWork>& cells);

}  // namespace kit
