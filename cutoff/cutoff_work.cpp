#include "cutoff/cutoff_work.hpp"

#include <algorithm>
#include <array>
#include <span>

#include "cutoff/cutoff_sweep.hpp"
#include "kit/grid_sweep.hpp"
#include "kit/random_source.hpp"

namespace cutoff {

std::vector<kit::CellWork> replay_cutoff_work(const CutoffProgram& program, std::uint32_t seed,
                                              std::int64_t memory_limit, const kit::ReplayProgress& progress) {
  std::vector<kit::Element> A(static_cast<std::size_t>(std::ranges::max(program.lengths)) + 1);
  std::vector<kit::CellWork> cells;
  const std::size_t cell_count = program.lengths.size() * static_cast<std::size_t>(program.cutoffs);
  CutoffColumns columns{.row_base = program.row_base};
  kit::RandomSource random(seed);
  kit::draw_grid_cells(
      program.lengths, static_cast<std::size_t>(program.cutoffs), columns, random, A.data(),
      [&](std::size_t I, std::size_t J, std::int32_t N) {
        const std::span<const kit::Element> data(A.data() + 1, static_cast<std::size_t>(N));
        const std::array<kit::KernelWork, 2> kernels{{
            {.kernel = kRecursiveKernel, .parameters = {}},
            {.kernel = kCombinedKernel, .parameters = {.cutoff = columns.HRANICA, .measure = program.measure}},
        }};
        kit::count_grid_cell(data, kernels, I, J, memory_limit, cells);
        if (progress) progress(cells.size() / 2, cell_count);
      });
  return cells;
}

}  // namespace cutoff
