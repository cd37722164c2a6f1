#include "support/kernel_record.hpp"

#include <gtest/gtest.h>

#include "kit/file_names.hpp"
#include "support/test_support.hpp"

namespace test_support {

CsvFile read_kernel_record(std::size_t windows, const KernelTables& tables, ResultCells (*cells)(const std::string&),
                           FormatCell format) {
  CsvFile record = read_csv("record.csv");
  EXPECT_EQ(record.rows.size(), windows);
  const auto kernel_of = [&tables](std::size_t table, std::size_t) {
    return table == 0 ? tables.first_kernel : tables.second_kernel;
  };
  EXPECT_EQ(compare_with_cells(record, cells(read_file(kit::kResultsFileName)), format, kernel_of), "");
  EXPECT_EQ(reader_problem("record.csv"), "");
  for (std::size_t row = 0; row < record.rows.size(); ++row) {
    EXPECT_EQ(record.field(row, "table"), row % 2 == 0 ? tables.first : tables.second) << "row " << row;
    EXPECT_EQ(record.field(row, "kernel"), row % 2 == 0 ? tables.first_kernel : tables.second_kernel) << "row " << row;
  }
  return record;
}

}  // namespace test_support
