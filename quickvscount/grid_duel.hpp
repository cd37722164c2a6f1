// The grid duel of tallygrid: QSORT against CSORT over array lengths (rows)
// by value ranges 10, 100, ... (columns), fresh data in every cell.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>

#include "kit/counting_sort.hpp"
#include "kit/grid_sweep.hpp"
#include "kit/instruments.hpp"
#include "kit/program_storage.hpp"
#include "kit/quicksort.hpp"
#include "kit/runtime_error.hpp"
#include "kit/two_table_writer.hpp"
#include "quickvscount/grid_duel_parameters.hpp"

namespace quickvscount {

// The two kernels of the duel. Tests hand the driver instrumented ones.
struct DuelKernels {
  void quick(kit::Element* A, std::int32_t N) { kit::QSORT(A, 1, N); }
  void counting(kit::Element* A, std::int32_t N, std::int32_t K, kit::Element* B, kit::Element* C) {
    kit::CSORT(A, N, K, B, C);
  }
};

// The duel's columns: ROZSAH = 10, 100, ..., the range of the cell's draws
// and CSORT's K.
struct RangeColumns {
  std::int32_t ROZSAH = 1;

  void start_row() { ROZSAH = 1; }
  std::int32_t start_column() {
    ROZSAH = ROZSAH * 10;
    return ROZSAH;
  }
};

// The duel's part of the grid sweep: TESTQS, TESTCS and CSORT's B and C.
template <class Kernels>
class GridDuel {
 public:
  GridDuel(const GridDuelProgram& program, Kernels& kernels)
      : last_index_(program.last_index),
        TESTQS_(obtain(program)),
        TESTCS_(obtain(program)),
        B_(obtain(program)),
        C_(obtain(program)),
        kernels_(kernels) {}

  kit::Element* first() { return TESTQS_.data(); }
  kit::Element* second() { return TESTCS_.data(); }

  // CSORT's arrays are cleared in full; the work arrays get their pages from
  // the (untimed) fill as the lengths grow.
  void clear() {
    std::fill_n(B_.data() + 1, last_index_, 0);
    std::fill_n(C_.data() + 1, last_index_, 0);
    kit::keep_memory(B_.data());
    kit::keep_memory(C_.data());
  }

  RangeColumns& columns() { return columns_; }

  void sort_first(kit::Element* A, std::int32_t N) { kernels_.quick(A, N); }
  void sort_second(kit::Element* A, std::int32_t N) { kernels_.counting(A, N, columns_.ROZSAH, B_.data(), C_.data()); }

 private:
  static kit::ProgramArray<kit::Element> obtain(const GridDuelProgram& program) {
    return kit::ProgramArray<kit::Element>::obtain(static_cast<std::size_t>(program.last_index) + 1);
  }

  std::int32_t last_index_;
  kit::ProgramArray<kit::Element> TESTQS_, TESTCS_, B_, C_;
  Kernels& kernels_;
  RangeColumns columns_;
};

// The duel's grid: a column per value range, the tables on the console too.
constexpr kit::GridPlan plan_of(const GridDuelProgram& program) {
  return kit::grid_plan(program, program.ranges, /*tables_on_console=*/true);
}

// The whole run with the given kernels: obtains the four arrays, creates
// "vystup.out", measures every cell, prints both tables on the console and
// writes them to the file.
template <class Kernels>
void run_grid_duel_with(const GridDuelProgram& program, const kit::Instruments& instruments, Kernels& kernels) {
  kit::ActiveRoutine routine(program.name);
  GridDuel<Kernels> duel(program, kernels);
  kit::run_grid_sweep(plan_of(program), duel, instruments);
}

// The run as the program makes it, with QSORT and CSORT.
void run_grid_duel(const GridDuelProgram& program, const kit::Instruments& instruments = {});

}  // namespace quickvscount
