#include "smallarrays/small_array_work.hpp"

#include <span>

#include "kit/random_source.hpp"
#include "smallarrays/small_array_benchmark.hpp"

namespace smallarrays {

std::vector<kit::CellWork> replay_small_array_work(const SmallArrayProgram& program, std::uint32_t seed,
                                                   std::int32_t sample, const kit::ReplayProgress& progress) {
  const auto stride = static_cast<std::size_t>(program.last_slot) + 1;
  std::vector<kit::Element> patterns(static_cast<std::size_t>(program.arrays) * stride);
  const PoleTable VZOR{patterns.data(), program.arrays, stride};
  const std::vector<std::int32_t> counted = kit::evenly_spaced_sample(program.arrays, sample);
  kit::RandomSource random(seed);

  std::vector<kit::CellWork> cells;
  const std::size_t cell_count = program.lengths.size() * program.algorithms.size();
  cells.reserve(cell_count);
  for (std::size_t I = 0; I < program.lengths.size(); ++I) {
    fill_patterns(VZOR, random);
    const std::int32_t N = program.lengths[I];
    for (std::size_t column = 0; column < program.algorithms.size(); ++column) {
      const std::string_view kernel = kernel_name(program.algorithms[column]);
      kit::SampleWork work;
      for (const std::int32_t J : counted) {
        work.add(kit::count_work(kernel, std::span<const kit::Element>(VZOR.pole(J) + 1, static_cast<std::size_t>(N))));
      }
      cells.push_back(work.cell(0, I, column, kernel, program.arrays));
      if (progress) progress(cells.size(), cell_count);
    }
  }
  return cells;
}

}  // namespace smallarrays
