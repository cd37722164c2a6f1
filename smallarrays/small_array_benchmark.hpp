// The small-array benchmark: comparison sorts timed on a very large number of
// short arrays, one batch per array length and algorithm.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "kit/instruments.hpp"
#include "kit/program_storage.hpp"

namespace smallarrays {

// The sorts of the table, as their column labels name them.
enum class Algorithm { QS, MS, HS, BS, IS, SS };

// Everything that tells one program of this benchmark from another.
struct SmallArrayProgram {
  const char* name;                       // the program, as runtime errors list it
  std::int32_t arrays;                    // A: arrays in VZOR and in TRIED
  std::int32_t last_slot;                 // L: every POLE spans indices 0..L
  std::span<const std::int32_t> lengths;  // POCET_PRVKOV, one row each, each at most L
  std::span<const Algorithm> algorithms;  // one column each, in table order
  // Layout of "vystup.out".
  std::string_view header;
  std::string_view separator;
  std::string_view row_lead;
  std::int32_t extra_space_below;  // a label below this gets one more space
};

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
