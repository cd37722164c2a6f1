#include "smallarrays/small_array_benchmark.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "kit/bubble_sort.hpp"
#include "kit/file_names.hpp"
#include "kit/heap_sort.hpp"
#include "kit/insertion_sort.hpp"
#include "kit/merge_sort.hpp"
#include "kit/program_storage.hpp"
#include "kit/quicksort.hpp"
#include "kit/run_record.hpp"
#include "kit/runtime_error.hpp"
#include "kit/seed_choice.hpp"
#include "kit/selection_sort.hpp"
#include "kit/text_output.hpp"
#include "smallarrays/small_array_results.hpp"

namespace smallarrays {
namespace {

using kit::Element;

// One batch: `sort` on every POLE of the table. The kernel is chosen by the
// caller, so each call in the loop is a direct, inlinable call.
template <class SortOnePole>
void sort_every_pole(const PoleTable& TRIED, SortOnePole sort) {
  Element* A = TRIED.first;
  for (std::int32_t J = 0; J < TRIED.count; ++J, A += TRIED.stride) sort(A);
}

// The record's places: the one table, its rows and columns as the results
// file labels them; each column times its own kernel.
kit::RecordPlaces record_places(const SmallArrayProgram& program) {
  kit::RecordPlaces places{.tables = {std::string(kit::table_name(kSmallArraysCaption))},
                           .rows = kit::row_labels(program.lengths),
                           .columns = kit::column_labels(program.header),
                           .kernel_place = kit::KernelPlace::kColumn};
  for (const Algorithm algorithm : program.algorithms) places.kernels.emplace_back(kernel_name(algorithm));
  return places;
}

}  // namespace

void fill_patterns(const PoleTable& VZOR, kit::RandomSource& random) {
  const std::size_t L = VZOR.stride - 1;
  for (std::int32_t J = 0; J < VZOR.count; ++J) random.fill_from_one_to(VZOR.pole(J) + 1, L, 1000000);
}

void restore_working_copies(const PoleTable& VZOR, const PoleTable& TRIED) {
  const auto L = static_cast<std::ptrdiff_t>(VZOR.stride - 1);
  for (std::int32_t J = 0; J < VZOR.count; ++J) std::copy_n(VZOR.pole(J) + 1, L, TRIED.pole(J) + 1);
}

std::int32_t time_batch(kit::Stopwatch& stopwatch, Algorithm algorithm, const PoleTable& TRIED, std::int32_t N,
                        Element* B) {
  switch (algorithm) {
    case Algorithm::QS:
      return stopwatch.time([&] { sort_every_pole(TRIED, [N](Element* A) { kit::QSORT(A, 1, N); }); });
    case Algorithm::MS:
      return stopwatch.time([&] { sort_every_pole(TRIED, [N, B](Element* A) { kit::MSORT(A, 1, N, B); }); });
    case Algorithm::HS:
      return stopwatch.time([&] { sort_every_pole(TRIED, [N](Element* A) { kit::HSORT(A, N); }); });
    case Algorithm::BS:
      return stopwatch.time([&] { sort_every_pole(TRIED, [N](Element* A) { kit::BSORT(A, 1, N); }); });
    case Algorithm::IS:
      return stopwatch.time([&] { sort_every_pole(TRIED, [N](Element* A) { kit::ISORT(A, 1, N); }); });
    case Algorithm::SS:
      return stopwatch.time([&] { sort_every_pole(TRIED, [N](Element* A) { kit::SSORT(A, 1, N); }); });
  }
  return 0;
}

void run_small_array_benchmark(const SmallArrayProgram& program, const kit::Instruments& instruments) {
  kit::ActiveRoutine routine(program.name);
  const std::int32_t L = program.last_slot;
  const auto stride = static_cast<std::size_t>(L) + 1;
  const std::size_t columns = program.algorithms.size();

  // Everything the run needs is obtained before "vystup.out" is created.
  auto vzor_storage = kit::ProgramArray<Element>::obtain(static_cast<std::size_t>(program.arrays) * stride);
  auto tried_storage = kit::ProgramArray<Element>::obtain(static_cast<std::size_t>(program.arrays) * stride);
  auto B = kit::ProgramArray<Element>::obtain(stride);  // MSORT's scratch POLE
  std::vector<kit::TimeCell> TAB(program.lengths.size() * columns);
  const PoleTable VZOR{vzor_storage.data(), program.arrays, stride};
  const PoleTable TRIED{tried_storage.data(), program.arrays, stride};
  kit::Console console;
  kit::Stopwatch stopwatch = kit::stopwatch_for(instruments);
  kit::RunRecord record(instruments.record, record_places(program), TAB.size());

  kit::TextFile PROTOKOL;
  PROTOKOL.create(kit::kResultsFileName);
  record.create();
  const kit::SeedChoice seed = kit::seed_for_run(instruments);
  kit::RandomSource random(seed.value);

  // Clearing writes every slot before the first measurement, so no page is
  // first touched inside a timed batch. Index 0 is never touched.
  for (const PoleTable* table : {&VZOR, &TRIED}) {
    for (std::int32_t J = 0; J < table->count; ++J) std::fill_n(table->pole(J) + 1, L, 0);
    kit::keep_memory(table->first);
  }

  std::string progress;
  for (std::size_t I = 0; I < program.lengths.size(); ++I) {
    fill_patterns(VZOR, random);
    const std::int32_t N = program.lengths[I];
    for (std::size_t column = 0; column < columns; ++column) {
      restore_working_copies(VZOR, TRIED);
      const std::int32_t ROZDIEL = time_batch(stopwatch, program.algorithms[column], TRIED, N, B.data());
      kit::keep_memory(TRIED.first);
      record.note(0, I, column, ROZDIEL, stopwatch.elapsed_nanoseconds(), stopwatch.evidence());
      TAB[I * columns + column] = kit::short_form::SPRACUJ(ROZDIEL);
    }
    progress.clear();
    kit::append_integer(progress, static_cast<std::int64_t>(I) + 1);
    console.write_line(progress);
  }

  ZAPIS_DO_SUB(PROTOKOL, program, TAB);
  PROTOKOL.close();
  record.write(seed);
}

}  // namespace smallarrays
