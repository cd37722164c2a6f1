// Reads the precise record of a run and holds it against the results file
// of the same run, cell for cell.
#pragma once

#include <compare>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "kit/stopwatch.hpp"

namespace test_support {

// A CSV file split into its header and rows, quoted fields unquoted.
struct CsvFile {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;
  std::string problem;  // empty when every line ends with CR LF and has the header's number of fields

  // The field of `row` under the header name `column`.
  const std::string& field(std::size_t row, const std::string& column) const;
};
CsvFile read_csv(const std::filesystem::path& path);

// A cell's place in "vystup.out".
struct Place {
  std::string table, row, column;
  auto operator<=>(const Place&) const = default;
};
// A cell's text and its 0-based table, row and column.
struct Cell {
  std::string text;
  std::size_t table = 0, row = 0, column = 0;
};
using ResultCells = std::map<Place, Cell>;

// The cells of the one-table and two-table forms: the table is the caption
// without "Vysledky pre " and ":", the labels those of the row and header.
ResultCells table_cells(const std::string& results);
// The cells of tallyduel's report blocks: tables "Quicksort" and
// "Countingsort", row the count, column the range of the block's first line;
// block I is row I and column I.
ResultCells duel_cells(const std::string& results);

using FormatCell = kit::TimeCell (*)(std::int32_t);
// The kernel the program times in a table's column, by their indices.
using KernelOf = std::function<std::string_view(std::size_t table, std::size_t column)>;

// "" when the windows are numbered 1..W of W in order, each names a cell
// whose text is format(hundredths) with the cell's indices and the kernel
// of its table and column, and every cell is named exactly once; otherwise
// the first problem.
std::string compare_with_cells(const CsvFile& record, const ResultCells& cells, FormatCell format,
                               const KernelOf& kernel_of);

// "" when the record's reader accepts the file, else its message.
std::string reader_problem(const std::filesystem::path& path);

}  // namespace test_support
