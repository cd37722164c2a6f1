// The time cells of one results file as CSV, so no statistics tool needs to
// parse the tables.
#pragma once

#include <string>
#include <string_view>

#include "analysis/records/result_file.hpp"

namespace analysis {

// One line per time cell: program, table, row label, column label, seconds,
// after the header line. In tallyduel's rows the table is the algorithm, the
// row the count and the column the value range, as in tallygrid's.
std::string build_csv(const ResultFile& result, std::string_view program);

}  // namespace analysis
