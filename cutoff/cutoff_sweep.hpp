// The cutoff sweep: REKQSORT against COMQSORT over array lengths (rows) by
// cutoff values HRANICA (columns), fresh data in every cell.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>

#include "cutoff/cutoff_parameters.hpp"
#include "kit/combined_quicksort.hpp"
#include "kit/grid_sweep.hpp"
#include "kit/instruments.hpp"
#include "kit/program_storage.hpp"
#include "kit/quicksort.hpp"
#include "kit/runtime_error.hpp"
#include "kit/two_table_writer.hpp"

namespace cutoff {

// The two kernels of the study. Tests hand the driver instrumented ones.
struct CutoffKernels {
  void recursive(kit::Element* A, std::int32_t N) { kit::REKQSORT(A, 1, N); }
  template <kit::CutoffMeasure Measure>
  void combined(kit::Element* A, std::int32_t N, std::int32_t HRANICA) {
    kit::COMQSORT<Measure>(A, 1, N, HRANICA);
  }
};

// The study's columns: HRANICA = row_base + 1, row_base + 2, ..., every
// cell drawing from 1..kValueRange.
struct CutoffColumns {
  std::int32_t row_base = 0;
  std::int32_t HRANICA = 0;

  void start_row() { HRANICA = row_base; }
  std::int32_t start_column() {
    HRANICA = HRANICA + 1;
    return kValueRange;
  }
};

// The study's part of the grid sweep: TESTQS and TESTCQS, and HRANICA.
template <kit::CutoffMeasure Measure, class Kernels>
class CutoffSweep {
 public:
  CutoffSweep(const CutoffProgram& program, Kernels& kernels)
      : program_(program),
        TESTQS_(obtain(program)),
        TESTCQS_(obtain(program)),
        kernels_(kernels),
        columns_{.row_base = program.row_base} {}

  kit::Element* first() { return TESTQS_.data(); }
  kit::Element* second() { return TESTCQS_.data(); }

  // Both work arrays are written up to their last index before the first
  // measurement, so no page is first touched inside a timed sort.
  void clear() {
    std::fill_n(TESTQS_.data() + 1, program_.last_index, 0);
    std::fill_n(TESTCQS_.data() + 1, program_.last_index, 0);
    kit::keep_memory(TESTQS_.data());
    kit::keep_memory(TESTCQS_.data());
  }

  CutoffColumns& columns() { return columns_; }

  void sort_first(kit::Element* A, std::int32_t N) { kernels_.recursive(A, N); }
  void sort_second(kit::Element* A, std::int32_t N) { kernels_.template combined<Measure>(A, N, columns_.HRANICA); }

 private:
  static kit::ProgramArray<kit::Element> obtain(const CutoffProgram& program) {
    return kit::ProgramArray<kit::Element>::obtain(static_cast<std::size_t>(program.last_index) + 1);
  }

  const CutoffProgram& program_;
  kit::ProgramArray<kit::Element> TESTQS_, TESTCQS_;
  Kernels& kernels_;
  CutoffColumns columns_;
};

// A cutoff program's grid: a column per cutoff, the tables only in the file.
constexpr kit::GridPlan plan_of(const CutoffProgram& program) {
  return kit::grid_plan(program, program.cutoffs, /*tables_on_console=*/false);
}

template <kit::CutoffMeasure Measure, class Kernels>
void run_cutoff_sweep_as(const CutoffProgram& program, const kit::Instruments& instruments, Kernels& kernels) {
  CutoffSweep<Measure, Kernels> sweep(program, kernels);
  kit::run_grid_sweep(plan_of(program), sweep, instruments);
}

// The whole run with the given kernels: obtains both work arrays, creates
// "vystup.out", measures every cell with one progress line each, and writes
// both tables to the file. The measure is chosen once, here; each branch
// runs its own compiled COMQSORT.
template <class Kernels>
void run_cutoff_sweep_with(const CutoffProgram& program, const kit::Instruments& instruments, Kernels& kernels) {
  kit::ActiveRoutine routine(program.name);
  switch (program.measure) {
    case kit::CutoffMeasure::kIndexSpan:
      run_cutoff_sweep_as<kit::CutoffMeasure::kIndexSpan>(program, instruments, kernels);
      break;
    case kit::CutoffMeasure::kElementCount:
      run_cutoff_sweep_as<kit::CutoffMeasure::kElementCount>(program, instruments, kernels);
      break;
  }
}

// The run as the programs make it, with REKQSORT and COMQSORT.
void run_cutoff_sweep(const CutoffProgram& program, const kit::Instruments& instruments = {});

}  // namespace cutoff
