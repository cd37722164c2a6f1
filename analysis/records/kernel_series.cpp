#include "analysis/records/kernel_series.hpp"

#include <algorithm>

namespace analysis {

namespace {

// A label as a name part: no separators or spaces inside.
std::string name_part(std::string_view label) {
  std::string part(label);
  std::replace(part.begin(), part.end(), '/', '_');
  std::replace(part.begin(), part.end(), ' ', '_');
  return part;
}

TableGrid& series_named(std::vector<TableGrid>& series, const std::string& name) {
  for (TableGrid& s : series) {
    if (s.name == name) return s;
  }
  return series.emplace_back(name);
}

void append_series_cell(TableGrid& series, std::string_view row, std::string_view column,
                        const std::vector<Sample>& samples) {
  auto& cell = series.at(row, column);
  cell.insert(cell.end(), samples.begin(), samples.end());
}

}  // namespace

std::vector<TableGrid> kernel_series(const ProgramGrid& grid) {
  const auto column_tables = std::count_if(grid.tables.begin(), grid.tables.end(),
                                           [](const TableGrid& table) { return table.kernels_by_column; });
  std::vector<TableGrid> series;
  for (const TableGrid& table : grid.tables) {
    for (const TableGrid::Position& at : table.positions) {
      const std::string& row = table.rows[at.row];
      const std::string& column = table.columns[at.column];
      const std::string& kernel = table.kernels[at.column];
      if (!table.kernels_by_column) {
        append_series_cell(series_named(series, kernel.empty() ? table.name : kernel), row, column,
                           table.cell(at.row, at.column));
        continue;
      }
      std::string position = row;
      if (position.empty()) {
        position = table.name;
      } else if (column_tables > 1) {
        position = table.name + " / " + position;
      }
      append_series_cell(series_named(series, kernel.empty() ? column : kernel), position, "",
                         table.cell(at.row, at.column));
    }
  }
  // A series merged from several tables keeps its samples in repeat order.
  for (TableGrid& s : series) {
    for (auto& cell : s.cells) {
      std::sort(cell.begin(), cell.end(), [](const Sample& a, const Sample& b) { return a.repeat < b.repeat; });
    }
  }
  return series;
}

std::string benchmark_name(std::string_view program, const Axes& axes, std::string_view series, std::string_view row,
                           std::string_view column) {
  std::string name = std::string(program) + "/" + name_part(series);
  if (!row.empty()) name += "/" + std::string(axes.row) + ":" + name_part(row);
  if (!column.empty()) name += "/" + std::string(axes.column) + ":" + name_part(column);
  return name;
}

}  // namespace analysis
