// The precise record of a run that timed two kernels per cell (tallyduel,
// tallygrid, cutoffwide, cutoffnarrow), held against its results file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "support/record_check.hpp"

namespace test_support {

// How the record names the first kernel's table and the second's, and the
// kernels themselves.
struct KernelTables {
  std::string first, second;
  std::string_view first_kernel, second_kernel;
};

// Reads "record.csv" of a run in the current folder and checks it: a test
// failure unless the record's reader takes it and it holds `windows` rows,
// alternately of the first and the second kernel's table and kernel, that
// name every cell of "vystup.out" (as `cells` takes the file apart) with its
// indices and the time `format` shows. Returns the record for the checks of
// the run's own.
CsvFile read_kernel_record(std::size_t windows, const KernelTables& tables, ResultCells (*cells)(const std::string&),
                           FormatCell format);

}  // namespace test_support
