#include "quickvscount/duel_work.hpp"

#include <algorithm>
#include <array>
#include <span>

#include "kit/grid_sweep.hpp"
#include "kit/random_source.hpp"
#include "quickvscount/grid_duel.hpp"
#include "quickvscount/input_draws.hpp"

namespace quickvscount {
namespace {

// Both sorts of one input, added to `cells` at (table, row, column).
void count_duel_cell(std::span<const kit::Element> data, std::int32_t range, std::size_t row, std::size_t column,
                     std::int64_t memory_limit, std::vector<kit::CellWork>& cells) {
  const std::array<kit::KernelWork, 2> kernels{{
      {.kernel = kQuicksortKernel, .parameters = {}},
      {.kernel = kCountingsortKernel, .parameters = {.value_range = range}},
  }};
  kit::count_grid_cell(data, kernels, row, column, memory_limit, cells);
}

}  // namespace

std::vector<kit::CellWork> replay_grid_duel_work(const GridDuelProgram& program, std::uint32_t seed,
                                                 std::int64_t memory_limit, const kit::ReplayProgress& progress) {
  std::vector<kit::Element> A(static_cast<std::size_t>(std::ranges::max(program.lengths)) + 1);
  std::vector<kit::CellWork> cells;
  const std::size_t cell_count = program.lengths.size() * static_cast<std::size_t>(program.ranges);
  RangeColumns columns;
  kit::RandomSource random(seed);
  kit::draw_grid_cells(program.lengths, static_cast<std::size_t>(program.ranges), columns, random, A.data(),
                       [&](std::size_t I, std::size_t J, std::int32_t N) {
                         const std::span<const kit::Element> data(A.data() + 1, static_cast<std::size_t>(N));
                         count_duel_cell(data, columns.ROZSAH, I, J, memory_limit, cells);
                         if (progress) progress(cells.size() / 2, cell_count);
                       });
  return cells;
}

std::vector<kit::CellWork> replay_file_duel_work(const FileDuelProgram& program, std::uint32_t seed,
                                                 std::int64_t memory_limit, const kit::ReplayProgress& progress) {
  const InputTable& inputs = program.inputs;
  std::vector<kit::CellWork> cells;
  std::vector<kit::Element> values;
  kit::RandomSource random(seed);
  for (std::size_t I = 0; I < inputs.POCET_PRVKOV.size(); ++I) {
    const std::int32_t range = inputs.ROZSAH_VSTUPU[I];
    values.resize(static_cast<std::size_t>(inputs.POCET_PRVKOV[I]));
    draw_input_values(random, inputs.POCET_PRVKOV[I], range,
                      [&](const std::int32_t* drawn, std::int32_t first, std::int32_t n) {
                        std::copy_n(drawn, n, values.begin() + (first - 1));
                      });
    count_duel_cell(values, range, I, I, memory_limit, cells);
    if (progress) progress(I + 1, inputs.POCET_PRVKOV.size());
  }
  return cells;
}

}  // namespace quickvscount
