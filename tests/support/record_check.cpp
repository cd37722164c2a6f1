#include "support/record_check.hpp"

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "kit/record/csv_fields.hpp"
#include "kit/record/record_reader.hpp"
#include "support/test_support.hpp"

namespace test_support {
namespace {

std::string trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// The fields between the bars of a table line, trimmed; the last bar ends the line.
std::vector<std::string> bar_fields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t begin = 0;
  for (std::size_t bar = line.find('|'); bar != std::string::npos; bar = line.find('|', begin)) {
    fields.push_back(trimmed(std::string_view(line).substr(begin, bar - begin)));
    begin = bar + 1;
  }
  return fields;
}

}  // namespace

const std::string& CsvFile::field(std::size_t row, const std::string& column) const {
  const auto at = std::find(header.begin(), header.end(), column);
  if (at == header.end()) throw std::out_of_range("no column " + column);
  return rows.at(row).at(static_cast<std::size_t>(at - header.begin()));
}

CsvFile read_csv(const std::filesystem::path& path) {
  CsvFile csv;
  const auto lines = split_crlf_lines(read_file(path));
  if (!lines.ok) csv.problem = "line " + std::to_string(lines.first_bad_line) + " does not end with CR LF";
  if (lines.lines.empty()) {
    if (csv.problem.empty()) csv.problem = "no header";
    return csv;
  }
  for (std::size_t i = 0; i < lines.lines.size(); ++i) {
    const std::string& line = lines.lines[i];
    kit::csv::SplitRow row = kit::csv::split_row(line);
    if (csv.problem.empty() && (!row.ok() || row.end != line.size())) {
      csv.problem = "line " + std::to_string(i + 1) + ": expected " +
                    (row.ok() ? "no line end inside a line" : row.expected) + ", found " +
                    (row.ok() ? "an LF" : row.found);
    }
    if (i == 0) {
      csv.header = std::move(row.fields);
      continue;
    }
    csv.rows.push_back(std::move(row.fields));
    if (csv.rows.back().size() != csv.header.size() && csv.problem.empty()) {
      csv.problem = "line " + std::to_string(i + 1) + " has " + std::to_string(csv.rows.back().size()) + " fields";
    }
  }
  return csv;
}

ResultCells table_cells(const std::string& results) {
  ResultCells cells;
  std::string table;
  std::vector<std::string> columns;
  std::size_t tables = 0, rows = 0;
  for (const std::string& line : split_crlf_lines(results).lines) {
    if (line.starts_with("Vysledky pre ") && line.ends_with(":")) {
      table = line.substr(13, line.size() - 14);
      ++tables;
      rows = 0;
    } else if (line.find('\\') != std::string::npos) {
      columns = bar_fields(line);
    } else if (line.find('|') != std::string::npos) {
      const auto fields = bar_fields(line);
      for (std::size_t j = 1; j < fields.size() && j < columns.size(); ++j) {
        cells[{table, fields[0], columns[j]}] = {fields[j], tables - 1, rows, j - 1};
      }
      ++rows;
    }
  }
  return cells;
}

ResultCells duel_cells(const std::string& results) {
  ResultCells cells;
  std::string count, range;
  std::size_t blocks = 0;
  for (const std::string& line : split_crlf_lines(results).lines) {
    if (line.starts_with("Vstup c.")) {
      const auto count_at = line.find("pocet= ") + 7;
      const auto comma = line.find(',', count_at);
      count = line.substr(count_at, comma - count_at);
      range = line.substr(line.find("rozsah= ") + 8);
      ++blocks;
    } else if (line.starts_with("Cas Quicksortu:")) {
      cells[{"Quicksort", count, range}] = {trimmed(line.substr(15)), 0, blocks - 1, blocks - 1};
    } else if (line.starts_with("Cas Countingsortu:")) {
      cells[{"Countingsort", count, range}] = {trimmed(line.substr(18)), 1, blocks - 1, blocks - 1};
    }
  }
  return cells;
}

std::string compare_with_cells(const CsvFile& record, const ResultCells& cells, FormatCell format,
                               const KernelOf& kernel_of) {
  if (!record.problem.empty()) return record.problem;
  std::set<Place> named;
  for (std::size_t i = 0; i < record.rows.size(); ++i) {
    const std::string where = "record row " + std::to_string(i + 1) + ": ";
    if (record.field(i, "window") != std::to_string(i + 1)) return where + "window " + record.field(i, "window");
    if (record.field(i, "windows") != std::to_string(record.rows.size())) {
      return where + "windows " + record.field(i, "windows") + " in a record of " + std::to_string(record.rows.size());
    }
    const Place place{record.field(i, "table"), record.field(i, "row_label"), record.field(i, "column_label")};
    const std::string name = place.table + " / " + place.row + " / " + place.column;
    const auto cell = cells.find(place);
    if (cell == cells.end()) return where + "no cell " + name;
    if (!named.insert(place).second) return where + "a second window for " + name;
    const Cell& shown = cell->second;
    const std::string expected(format(std::stoi(record.field(i, "hundredths"))).text());
    if (shown.text != expected) return where + name + " shows " + shown.text + ", the record " + expected;
    const std::string indices =
        record.field(i, "table_index") + " " + record.field(i, "row_index") + " " + record.field(i, "column_index");
    const std::string cell_indices =
        std::to_string(shown.table) + " " + std::to_string(shown.row) + " " + std::to_string(shown.column);
    if (indices != cell_indices) return where + name + " stands at " + cell_indices + ", the record says " + indices;
    const std::string_view kernel = kernel_of(shown.table, shown.column);
    if (record.field(i, "kernel") != kernel) {
      return where + name + " is timed by " + std::string(kernel) + ", the record says " + record.field(i, "kernel");
    }
  }
  if (named.size() != cells.size()) {
    return std::to_string(cells.size() - named.size()) + " cells of the results have no window";
  }
  return "";
}

std::string reader_problem(const std::filesystem::path& path) {
  try {
    kit::record::read_record(read_file(path), path.string());
  } catch (const kit::record::RecordError& error) {
    return error.what();
  }
  return "";
}

}  // namespace test_support
