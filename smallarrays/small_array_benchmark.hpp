// The small-array benchmark: comparison sorts timed on a very large number of
// short arrays, one batch per array length and algorithm.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kit/instruments.hpp"
#include "kit/program_storage.hpp"
#include "smallarrays/small_array_parameters.hpp"

namespace smallarrays {

// VZOR or TRIED: `count` POLEs of `stride` elements stored one after another,
// so a batch walks memory in address order.
struct PoleTable {
  kit::Element* first;
  std::int32_t count;
  std::size_t stride;

  kit::Element* pole(std::int32_t index) const { return first + static_cast<std::size_t>(index) * stride; }
};

// The steps of a run, each on whole tables. Slots 1..L of each POLE take
// part; index 0 is never touched.
void fill_patterns(const PoleTable& VZOR, kit::RandomSource& random);
void restore_working_copies(const PoleTable& VZOR, const PoleTable& TRIED);
// Times one batch: `algorithm` on slots 1..N of every POLE of TRIED. B is MSORT's scratch POLE.
std::int32_t time_batch(kit::Stopwatch& stopwatch, Algorithm algorithm, const PoleTable& TRIED, std::int32_t N,
                        kit::Element* B);

// The whole run: obtains the arrays, creates "vystup.out" in the current
// directory, measures every (length, algorithm) cell, writes one progress
// line per length to the console and the table to the file.
void run_small_array_benchmark(const SmallArrayProgram& program, const kit::Instruments& instruments = {});

}  // namespace smallarrays
