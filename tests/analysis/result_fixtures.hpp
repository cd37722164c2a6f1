// Results files for the tests, made by the programs' own table writers (or,
// for tallyduel's blocks, line by line in their format) from chosen cells.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "analysis/programs/suite_programs.hpp"
#include "cutoff/cutoff_parameters.hpp"
#include "quickvscount/file_duel_parameters.hpp"
#include "quickvscount/grid_duel_parameters.hpp"
#include "smallarrays/small_array_parameters.hpp"

namespace fixtures {

// Hundredths of the cell in (row, column), both counted from 0.
using CellValue = std::function<std::int64_t(std::size_t row, std::size_t column)>;

std::string small_arrays_file(const smallarrays::SmallArrayProgram& program, const CellValue& cell);
std::string two_table_file(const kit::TwoTableLayout& layout, const std::vector<std::int32_t>& rows,
                           std::size_t columns, const CellValue& first, const CellValue& second);
std::string tallygrid_file(const CellValue& quick, const CellValue& counting);
std::string cutoffwide_file(const CellValue& recursive, const CellValue& combined);
std::string cutoffnarrow_file(const CellValue& recursive, const CellValue& combined);

struct DuelBlock {
  std::int64_t count, range, quick, counting;
};
std::vector<DuelBlock> tallyduel_blocks(const std::function<std::int64_t(std::size_t input)>& quick,
                                        const std::function<std::int64_t(std::size_t input)>& counting);
std::string tallyduel_file(const std::vector<DuelBlock>& blocks);

// The results file `program` writes, its first (or only) table from `first`
// and its second from `second`; tallyduel's inputs are the rows, with the
// quicksort time in column 0 of `first` and the counting-sort time in
// column 0 of `second`.
std::string program_file(const analysis::SuiteProgram& program, const CellValue& first, const CellValue& second);

// One window of a precise record.
struct RecordedCell {
  std::int64_t hundredths = 0;
  std::int64_t nanoseconds = 0;
};
using RecordedValue = std::function<RecordedCell(std::size_t table, std::size_t row, std::size_t column)>;

// The precise record `program` writes of a whole run, in the programs' own
// format: every cell of its tables in the order measured, `seed` as the seed
// field, each window's figures from `cell`. tallyduel's input I stands in
// row I and column I of tables 0 (quicksort) and 1 (counting sort).
// The two layouts of a record: the current one names each window's kernel
// and indices and holds its evidence; records written before that hold the
// labels only.
enum class RecordLayout { current, label_only };
std::string program_record(const analysis::SuiteProgram& program, const std::string& seed, const RecordedValue& cell,
                           RecordLayout form = RecordLayout::label_only);

std::vector<std::string> crlf_lines(const std::string& text);
std::string join_crlf(const std::vector<std::string>& lines);

}  // namespace fixtures
