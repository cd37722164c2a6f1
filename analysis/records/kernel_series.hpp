// The cells of a program regrouped by kernel, the sort each cell timed, and
// the benchmark names of those cells. The kernels come from the records (or,
// for records written before they named them, from the programs' facts),
// never from the tables' captions.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/programs/suite_programs.hpp"
#include "analysis/records/program_grid.hpp"

namespace analysis {

// One series per kernel, named by the kernel. A table whose cells all timed
// one kernel (tallygrid, the cutoff programs, tallyduel) is one series as it
// stands; a table whose columns are kernels of their own (the small-array
// programs) gives one series per column, with a single unnamed column, its
// rows prefixed by the table when the program has several such tables. A
// table without kernels stays a series of its own name.
std::vector<TableGrid> kernel_series(const ProgramGrid& grid);

// The name of one cell in the style of benchmark families, the axes named
// as the program names them: "tallygrid/QSORT/n:50000/k:100",
// "smallsix/ISORT/n:20", "cutoffwide/COMQSORT/n:10000/cutoff:21",
// "tallyduel/CSORT/n:20000000/k:10". A row or column without a label is
// left out; separators and spaces inside a label become "_".
std::string benchmark_name(std::string_view program, const Axes& axes, std::string_view series, std::string_view row,
                           std::string_view column);

}  // namespace analysis
