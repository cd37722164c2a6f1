#include "analysis/records/program_grid.hpp"

#include <algorithm>
#include <functional>
#include <set>

namespace analysis {

namespace {

std::optional<std::size_t> index_of(const std::map<std::string, std::size_t, std::less<>>& index,
                                    std::string_view label) {
  const auto found = index.find(label);
  if (found == index.end()) return std::nullopt;
  return found->second;
}

TableGrid& table_named(std::vector<TableGrid>& tables, const std::string& name) {
  for (TableGrid& table : tables) {
    if (table.name == name) return table;
  }
  return tables.emplace_back(name);
}

// Whether the table's columns are sorts of their own: as the program's facts
// say, or, for a program the suite does not know, when they differ.
bool kernels_by_column(const SuiteProgram* facts, const TableGrid& table) {
  if (facts != nullptr) {
    for (const RecordTable& known : facts->record_tables) {
      if (known.name == table.name) return known.kernel.empty();
    }
  }
  return std::adjacent_find(table.kernels.begin(), table.kernels.end(), std::not_equal_to<>()) != table.kernels.end();
}

}  // namespace

std::optional<std::size_t> TableGrid::row_index(std::string_view label) const { return index_of(row_indices_, label); }

std::optional<std::size_t> TableGrid::column_index(std::string_view label) const {
  return index_of(column_indices_, label);
}

std::size_t TableGrid::add_row(std::string_view label) {
  const auto [entry, added] = row_indices_.try_emplace(std::string(label), rows.size());
  if (!added) return entry->second;
  rows.emplace_back(label);
  cells.resize(rows.size() * columns.size());
  return rows.size() - 1;
}

std::size_t TableGrid::add_column(std::string_view label) {
  const auto [entry, added] = column_indices_.try_emplace(std::string(label), columns.size());
  if (!added) return entry->second;
  // Widening a row-by-row table moves every later cell: rebuild it.
  std::vector<std::vector<Sample>> widened(rows.size() * (columns.size() + 1));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < columns.size(); ++c) widened[r * (columns.size() + 1) + c] = std::move(cell(r, c));
  }
  columns.emplace_back(label);
  kernels.emplace_back();
  cells = std::move(widened);
  return columns.size() - 1;
}

std::vector<Sample>& TableGrid::at(std::string_view row, std::string_view column) {
  const std::size_t r = add_row(row);
  const std::size_t c = add_column(column);
  std::vector<Sample>& samples = cell(r, c);
  // Every cell handed out is filled, so an empty one is new.
  if (samples.empty()) positions.push_back(Position{r, c});
  return samples;
}

const TableGrid* ProgramGrid::table(std::string_view name) const {
  for (const TableGrid& t : tables) {
    if (t.name == name) return &t;
  }
  return nullptr;
}

std::size_t ProgramGrid::disturbed_windows() const {
  std::size_t count = 0;
  for (const TableGrid& t : tables) {
    for (const std::vector<Sample>& samples : t.cells) {
      count += static_cast<std::size_t>(
          std::count_if(samples.begin(), samples.end(), [](const Sample& s) { return s.disturbed; }));
    }
  }
  return count;
}

std::size_t ProgramGrid::windows() const {
  std::size_t count = 0;
  for (const TableGrid& t : tables) {
    for (const std::vector<Sample>& samples : t.cells) count += samples.size();
  }
  return count;
}

ProgramGrid program_grid(const MeasurementSet& set, std::string_view program) {
  ProgramGrid grid{std::string(program), find_suite_program(program), {}, {}, {}, {}};
  std::set<int> complete_repeats;
  for (RunSummary& run : set.runs(program)) {
    if (run.complete) {
      complete_repeats.insert(run.repeat);
      grid.complete_runs.push_back(std::move(run));
    } else {
      grid.incomplete_runs.push_back(std::move(run));
    }
  }
  for (const Measurement& m : set.all()) {
    if (m.program != program || !complete_repeats.contains(m.repeat)) continue;
    TableGrid& table = table_named(grid.tables, m.table);
    table.at(m.row, m.column).push_back(Sample{m.repeat, m.seed, m.hundredths, m.nanoseconds, disturbed(m)});
    std::string& kernel = table.kernels[*table.column_index(m.column)];
    if (kernel.empty()) kernel = m.kernel;
  }
  for (TableGrid& table : grid.tables) {
    table.kernels_by_column = kernels_by_column(grid.facts, table);
    for (std::vector<Sample>& samples : table.cells) {
      std::sort(samples.begin(), samples.end(), [](const Sample& a, const Sample& b) { return a.repeat < b.repeat; });
    }
  }
  return grid;
}

std::vector<ProgramGrid> program_grids(const MeasurementSet& set) {
  std::vector<ProgramGrid> grids;
  for (const std::string& program : set.programs()) grids.push_back(program_grid(set, program));
  return grids;
}

}  // namespace analysis
