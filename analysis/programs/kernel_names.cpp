#include "analysis/programs/kernel_names.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <utility>

namespace analysis {

namespace {

struct KernelAlias {
  std::string_view alias;
  std::string_view kernel;
};

constexpr std::array<KernelAlias, 29> kernel_aliases{{
    {"qsort", "QSORT"},
    {"qs", "QSORT"},
    {"quicksort", "QSORT"},
    {"quicksortu", "QSORT"},
    {"rekqsort", "REKQSORT"},
    {"rekurzivny quicksort", "REKQSORT"},
    {"comqsort", "COMQSORT"},
    {"kombinovany quicksort a insertsort", "COMQSORT"},
    {"csort", "CSORT"},
    {"cs", "CSORT"},
    {"countingsort", "CSORT"},
    {"countingsortu", "CSORT"},
    {"msort", "MSORT"},
    {"ms", "MSORT"},
    {"mergesort", "MSORT"},
    {"hsort", "HSORT"},
    {"hs", "HSORT"},
    {"heapsort", "HSORT"},
    {"bsort", "BSORT"},
    {"bs", "BSORT"},
    {"bubblesort", "BSORT"},
    {"isort", "ISORT"},
    {"is", "ISORT"},
    {"insertsort", "ISORT"},
    {"insertionsort", "ISORT"},
    {"ssort", "SSORT"},
    {"ss", "SSORT"},
    {"selectsort", "SSORT"},
    {"selectionsort", "SSORT"},
}};

bool starts_with(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// Lower case, without the captions' "Vysledky pre " and "Cas " and without
// trailing colons and spaces.
std::string normalised(std::string_view label) {
  std::string text;
  for (const char c : label) text.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  const auto first = text.find_first_not_of(' ');
  text.erase(0, first == std::string::npos ? text.size() : first);
  for (const std::string_view prefix : {std::string_view("vysledky pre "), std::string_view("cas ")}) {
    if (starts_with(text, prefix)) text.erase(0, prefix.size());
  }
  while (!text.empty() && (text.back() == ':' || text.back() == ' ')) text.pop_back();
  return text;
}

// A label as a name part: no separators or spaces inside.
std::string name_part(std::string_view label) {
  std::string part(label);
  std::replace(part.begin(), part.end(), '/', '_');
  std::replace(part.begin(), part.end(), ' ', '_');
  return part;
}

// The integer after the first occurrence of key, if any.
std::optional<std::string_view> integer_after(std::string_view text, std::string_view key) {
  const auto at = text.find(key);
  if (at == std::string_view::npos) return std::nullopt;
  std::size_t begin = at + key.size();
  while (begin < text.size() && text[begin] == ' ') ++begin;
  std::size_t end = begin;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  if (end == begin) return std::nullopt;
  return text.substr(begin, end - begin);
}

// A tallyduel block's first line as "input:1/n:20000000/k:10"; any other
// row label is the count.
std::string input_parameters(std::string_view row) {
  if (const auto input = parse_input_label(row)) {
    return "input:" + input->input + "/n:" + input->count + "/k:" + input->range;
  }
  return "n:" + name_part(row);
}

struct Axes {
  std::string_view row;
  std::string_view column;
};

Axes axes_of(std::string_view program) {
  if (program == "smallsix" || program == "smallfive") return {"n", "column"};
  if (program == "tallygrid" || program == "tallyduel") return {"n", "k"};
  if (program == "cutoffwide" || program == "cutoffnarrow") return {"n", "cutoff"};
  return {"row", "column"};
}

void append_series_cell(TableGrid& series, const std::string& row, const std::string& column,
                        const std::vector<Sample>& samples) {
  auto& cell = series.at(row, column);
  cell.insert(cell.end(), samples.begin(), samples.end());
}

TableGrid& series_named(std::vector<TableGrid>& series, const std::string& name) {
  for (TableGrid& s : series) {
    if (s.name == name) return s;
  }
  return series.emplace_back(name);
}

}  // namespace

std::optional<std::string> kernel_of_label(std::string_view label) {
  const std::string key = normalised(label);
  for (const KernelAlias& entry : kernel_aliases) {
    if (entry.alias == key) return std::string(entry.kernel);
  }
  return std::nullopt;
}

std::optional<InputLabel> parse_input_label(std::string_view label) {
  const auto input = integer_after(label, "c.");
  const auto count = integer_after(label, "pocet=");
  const auto range = integer_after(label, "rozsah=");
  if (!input || !count || !range) return std::nullopt;
  return InputLabel{std::string(*input), std::string(*count), std::string(*range)};
}

std::vector<TableGrid> kernel_series(const ProgramGrid& grid) {
  const auto has_kernel_columns = [](const TableGrid& table) {
    return std::any_of(table.columns.begin(), table.columns.end(),
                       [](const std::string& c) { return kernel_of_label(c).has_value(); });
  };
  const auto column_tables = std::count_if(grid.tables.begin(), grid.tables.end(), [&](const TableGrid& table) {
    return !kernel_of_label(table.name) && has_kernel_columns(table);
  });
  std::vector<TableGrid> series;
  for (const TableGrid& table : grid.tables) {
    const auto table_kernel = kernel_of_label(table.name);
    const bool by_table = table_kernel || !has_kernel_columns(table);
    for (const TableGrid::Position& at : table.positions) {
      const std::string& row = table.rows[at.row];
      const std::string& column = table.columns[at.column];
      if (by_table) {
        append_series_cell(series_named(series, table_kernel.value_or(table.name)), row, column,
                           table.cell(at.row, at.column));
        continue;
      }
      std::string position = row;
      if (position.empty()) {
        position = table.name;
      } else if (column_tables > 1) {
        position = table.name + " / " + position;
      }
      append_series_cell(series_named(series, kernel_of_label(column).value_or(column)), position, "",
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

std::string benchmark_name(std::string_view program, std::string_view series, std::string_view row,
                           std::string_view column) {
  const Axes axes = axes_of(program);
  std::string name = std::string(program) + "/" + name_part(series);
  if (!row.empty()) {
    name += "/";
    name += program == "tallyduel" ? input_parameters(row) : std::string(axes.row) + ":" + name_part(row);
  }
  if (!column.empty()) name += "/" + std::string(axes.column) + ":" + name_part(column);
  return name;
}

}  // namespace analysis
