// The suite's kernels as tables and records label them, the cells of a
// program regrouped by kernel, and the benchmark names of those cells.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/records/program_grid.hpp"

namespace analysis {

// QSORT for "Quicksort", "Vysledky pre Quicksort:", "Cas Quicksortu:", "QS"
// or "QSORT"; likewise REKQSORT, COMQSORT, CSORT, MSORT, HSORT, BSORT, ISORT
// and SSORT. Nothing for a label that names no kernel.
std::optional<std::string> kernel_of_label(std::string_view label);

// One series per kernel, named by the kernel. A table that names a kernel
// (tallygrid, the cutoff programs) is one series as it stands; a table whose
// columns name kernels (the small-array programs) gives one series per
// column, with a single unnamed column, its rows prefixed by the table when
// the program has several such tables. A table that names no kernel and has
// no kernel columns stays a series of its own name.
std::vector<TableGrid> kernel_series(const ProgramGrid& grid);

// A tallyduel input as its block's first line labels it:
// "Vstup c.1: pocet= 20000000, rozsah= 10".
struct InputLabel {
  std::string input;
  std::string count;
  std::string range;
};
std::optional<InputLabel> parse_input_label(std::string_view label);

// The name of one cell in the style of benchmark families:
// "tallygrid/QSORT/n:50000/k:100", "smallsix/ISORT/n:20",
// "cutoffwide/COMQSORT/n:10000/cutoff:21", "tallyduel/CSORT/n:20000000/k:10"
// (tallyduel's rows are counts and its columns ranges, or a block's first
// line, "tallyduel/CSORT/input:1/n:20000000/k:10").
std::string benchmark_name(std::string_view program, std::string_view series, std::string_view row,
                           std::string_view column);

}  // namespace analysis
