#include "analysis/verdicts/work_answers.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "analysis/statistics/cell_statistics.hpp"
#include "analysis/text/text_format.hpp"

namespace analysis {
namespace {

// One counted cell with what the answers say of it.
struct CellView {
  const LabelledWork* cell = nullptr;
  std::int64_t n = 0;          // elements per array: the row's length (the duel: the input's count)
  double comparisons = 0;      // per element
  double moves = 0;            // per element
  double operations = 0;       // per element
  std::optional<double> ns{};  // median time per array
  std::optional<double> ns_per_operation{};

  const std::string& kernel() const { return cell->work.kernel; }
  const std::string& row() const { return cell->row; }
  const std::string& column() const { return cell->column; }
};

// A label of digits with its thousands grouped: "20000000" as "20,000,000".
std::string grouped(std::string_view label) {
  std::int64_t value = 0;
  std::from_chars(label.data(), label.data() + label.size(), value);
  return with_thousands(value);
}

std::vector<CellView> cell_views(const ProgramGrid& grid, const ProgramWork& work) {
  std::vector<CellView> views;
  for (const LabelledWork& cell : work.cells) {
    CellView view{.cell = &cell, .n = cell.n};
    view.comparisons = per_element(cell.work, cell.work.total.comparisons, view.n);
    view.moves = per_element(cell.work, kit::moves(cell.work.total), view.n);
    if (view.n > 0) {
      view.operations =
          operations(cell.work.total) / static_cast<double>(cell.work.counted_arrays) / static_cast<double>(view.n);
    }
    if (const std::optional<OperationTimes> times = operation_times(grid, cell)) {
      view.ns = times->nanoseconds_per_array;
      view.ns_per_operation = times->per_operation;
    }
    views.push_back(view);
  }
  return views;
}

// A count as people read it: "95.2", "1,250", "10,000,000".
std::string count_text(double value) {
  if (std::abs(value) >= 1000) return with_thousands(std::llround(value));
  return significant(value, 3);
}

// A count of one array of the cell: "1,655", a sample's mean "24.3".
std::string per_array_text(const CellView& view, std::int64_t count) {
  return count_text(view.cell->work.per_array(count));
}
std::string comparisons_text(const CellView& view) { return per_array_text(view, view.cell->work.total.comparisons); }
std::string moves_text(const CellView& view) { return per_array_text(view, kit::moves(view.cell->work.total)); }

std::string ns_text(const std::optional<double>& ns) { return ns ? significant(*ns, 3) + " ns" : "no time"; }

// The rows' labels in the order the program measured them.
std::vector<std::string> row_order(const std::vector<CellView>& views) {
  std::vector<std::string> rows;
  for (const CellView& view : views) {
    if (std::ranges::find(rows, view.row()) == rows.end()) rows.push_back(view.row());
  }
  return rows;
}

std::vector<std::string> kernel_order(const std::vector<CellView>& views) {
  std::vector<std::string> kernels;
  for (const CellView& view : views) {
    if (std::ranges::find(kernels, view.kernel()) == kernels.end()) kernels.push_back(view.kernel());
  }
  return kernels;
}

const CellView* find(const std::vector<CellView>& views, std::string_view kernel, std::string_view row,
                     std::string_view column = {}) {
  for (const CellView& view : views) {
    if (view.kernel() == kernel && view.row() == row && (column.empty() || view.column() == column)) return &view;
  }
  return nullptr;
}

// The fastest sort of a row, by its median time; nullptr when none has one.
const CellView* leader(const std::vector<CellView>& views, std::string_view row) {
  const CellView* best = nullptr;
  for (const CellView& view : views) {
    if (view.row() != row || !view.ns) continue;
    if (best == nullptr || *view.ns < *best->ns) best = &view;
  }
  return best;
}

std::string small_arrays_why(const std::vector<CellView>& views) {
  const std::vector<std::string> rows = row_order(views);
  for (std::size_t r = 1; r < rows.size(); ++r) {
    const CellView* before = leader(views, rows[r - 1]);
    const CellView* after = leader(views, rows[r]);
    if (before == nullptr || after == nullptr || before->kernel() == after->kernel()) continue;
    const CellView* old_leader = find(views, before->kernel(), rows[r]);
    if (old_leader == nullptr) continue;
    return fmt::format(
        "The lead passes from {} to {} between n = {} and n = {}: at n = {} {} makes {} comparisons and {} moves per "
        "array, {} {} and {}. One comparison of {} takes {} there, one of {} {}.",
        before->kernel(), after->kernel(), rows[r - 1], rows[r], rows[r], old_leader->kernel(),
        comparisons_text(*old_leader), moves_text(*old_leader), after->kernel(), comparisons_text(*after),
        moves_text(*after), old_leader->kernel(), ns_text(old_leader->ns_per_operation), after->kernel(),
        ns_text(after->ns_per_operation));
  }
  if (rows.empty()) return {};
  const CellView* first = leader(views, rows.back());
  if (first == nullptr) return {};
  // The runner-up at the longest length, for what the leader's work is against.
  const CellView* second = nullptr;
  for (const CellView& view : views) {
    if (view.row() != rows.back() || !view.ns || &view == first) continue;
    if (second == nullptr || *view.ns < *second->ns) second = &view;
  }
  std::string why = fmt::format(
      "{} leads at every length: at n = {} it makes {} comparisons and {} moves per array, at {} "
      "per comparison",
      first->kernel(), rows.back(), comparisons_text(*first), moves_text(*first), ns_text(first->ns_per_operation));
  if (second != nullptr) {
    why += fmt::format("; {}, second, makes {} and {}, at {} per comparison", second->kernel(),
                       comparisons_text(*second), moves_text(*second), ns_text(second->ns_per_operation));
  }
  return why + ".";
}

// The two kernels of a duel's cell: the first table's and the second's.
struct DuelCell {
  const CellView* quick = nullptr;
  const CellView* counting = nullptr;
  double ratio() const { return *quick->ns / *counting->ns; }  // above 1: counting sort wins
};

std::vector<DuelCell> duel_cells(const std::vector<CellView>& views, const std::vector<std::string>& kernels) {
  std::vector<DuelCell> cells;
  if (kernels.size() != 2) return cells;
  for (const CellView& view : views) {
    if (view.kernel() != kernels[0] || !view.ns) continue;
    const CellView* other = find(views, kernels[1], view.row(), view.column());
    if (other != nullptr && other->ns && *other->ns > 0) cells.push_back({&view, other});
  }
  return cells;
}

// "its n + k counter steps come to 2 per element at 0.5 ns each, against
// quicksort's 24.5 comparisons at 1.9 ns each"
std::string duel_clause(const DuelCell& cell, std::string_view whose = "its") {
  return fmt::format(
      "{} n + k counter steps come to {} per element at {} each, against quicksort's {} comparisons "
      "at {} each",
      whose, count_text(cell.counting->operations), ns_text(cell.counting->ns_per_operation),
      count_text(cell.quick->comparisons), ns_text(cell.quick->ns_per_operation));
}

// "n = 10, k = 20,000,000"
std::string input_text(const CellView& view) {
  return fmt::format("n = {}, k = {}", grouped(view.row()), grouped(view.column()));
}

std::string file_duel_why(const std::vector<CellView>& views) {
  const std::vector<DuelCell> cells = duel_cells(views, kernel_order(views));
  if (cells.empty()) return {};
  const auto [quick_best, counting_best] = std::ranges::minmax(cells, {}, &DuelCell::ratio);
  std::vector<std::string> clauses;
  if (counting_best.ratio() > 1) {
    clauses.push_back(fmt::format("Counting sort wins most at {}, where {}", input_text(*counting_best.quick),
                                  duel_clause(counting_best)));
  }
  if (quick_best.ratio() < 1) {
    clauses.push_back(fmt::format("{}uicksort wins most at {}, where {}", clauses.empty() ? "Q" : "q",
                                  input_text(*quick_best.quick), duel_clause(quick_best, "counting sort's")));
  }
  return clauses.empty() ? std::string() : fmt::format("{}.", fmt::join(clauses, "; "));
}

std::string grid_duel_why(const std::vector<CellView>& views) {
  const std::vector<DuelCell> cells = duel_cells(views, kernel_order(views));
  // Per value range, the first length where counting sort is faster; the
  // ranges grouped by that length, in order.
  std::vector<std::string> columns_seen;
  std::vector<std::pair<std::string, std::vector<std::string>>> groups;  // length, its ranges
  const DuelCell* most_steps = nullptr;
  for (const DuelCell& cell : cells) {
    const std::string& column = cell.quick->column();
    if (std::ranges::find(columns_seen, column) != columns_seen.end() || cell.ratio() <= 1) continue;
    columns_seen.push_back(column);
    const std::string& row = cell.quick->row();
    const auto group = std::ranges::find(groups, row, &std::pair<std::string, std::vector<std::string>>::first);
    if (group == groups.end()) {
      groups.push_back({row, {column}});
    } else {
      group->second.push_back(column);
    }
    if (most_steps == nullptr || cell.counting->operations > most_steps->counting->operations) most_steps = &cell;
  }
  if (most_steps == nullptr) return "Quicksort is faster in every cell.";
  std::vector<std::string> parts;
  for (const auto& [row, columns] : groups) {
    const std::string ranges =
        columns.size() == 1 ? grouped(columns.front()) : grouped(columns.front()) + " to " + grouped(columns.back());
    parts.push_back(fmt::format("from n = {} for k = {}", grouped(row), ranges));
  }
  return fmt::format("Counting sort is faster {}. At {}, {}.", fmt::join(parts, ", "), input_text(*most_steps->quick),
                     duel_clause(*most_steps));
}

std::string cutoff_why(const std::vector<CellView>& views) {
  const std::vector<std::string> kernels = kernel_order(views);
  const std::vector<std::string> rows = row_order(views);
  if (kernels.size() != 2 || rows.empty()) return {};
  const std::string& row = rows.back();
  std::vector<const CellView*> combined;
  for (const CellView& view : views) {
    if (view.kernel() == kernels[1] && view.row() == row) combined.push_back(&view);
  }
  if (combined.empty()) return {};
  const auto [fewest, most] = std::ranges::minmax(combined, {}, &CellView::comparisons);
  const auto [least_moved, most_moved] = std::ranges::minmax(combined, {}, &CellView::moves);
  std::string why = fmt::format(
      "At n = {} {}'s comparisons per element run from {} at cutoff {} to {} at cutoff {}, its moves from {} at "
      "cutoff {} to {} at cutoff {}.",
      grouped(row), kernels[1], count_text(fewest->comparisons), fewest->column(), count_text(most->comparisons),
      most->column(), count_text(least_moved->moves), least_moved->column(), count_text(most_moved->moves),
      most_moved->column());
  const CellView* fastest = nullptr;
  for (const CellView* view : combined) {
    if (view->ns && (fastest == nullptr || *view->ns < *fastest->ns)) fastest = view;
  }
  if (fastest != nullptr) {
    const auto calls = [](const CellView& view) {
      return count_text(per_element(view.cell->work, view.cell->work.total.calls, view.n));
    };
    why +=
        fmt::format(" The fastest cutoff there, {}, makes {} comparisons, {} moves and {} calls per element",
                    fastest->column(), count_text(fastest->comparisons), count_text(fastest->moves), calls(*fastest));
    if (const CellView* plain = find(views, kernels[0], row)) {
      why += fmt::format(", {} alone {}, {} and {}", kernels[0], count_text(plain->comparisons),
                         count_text(plain->moves), calls(*plain));
    }
    why += ".";
  }
  return why;
}

std::string median_text(std::vector<double> values, bool time) {
  if (values.empty()) return "";
  std::ranges::sort(values);
  const double median = sorted_median(values);
  return time ? significant(median, 3) : count_text(median);
}

// Per row and sort: operations per element and the time of one, the median
// over the row's columns.
AnswerTable work_table(const std::vector<CellView>& views, const ProgramGrid& grid, bool duel) {
  AnswerTable table;
  const std::vector<std::string> kernels = kernel_order(views);
  table.header.push_back(duel ? std::string(grid.axes().row) + ", " + std::string(grid.axes().column)
                              : std::string(grid.axes().row));
  table.numeric.push_back(!duel);
  for (const std::string& kernel : kernels) {
    table.header.push_back(kernel + " ops/elem");
    table.header.push_back(kernel + " ns/op");
    table.numeric.insert(table.numeric.end(), {true, true});
  }
  std::vector<std::pair<std::string, std::string>> keys;  // row, and the duel's column
  for (const CellView& view : views) {
    const std::pair<std::string, std::string> key{view.row(), duel ? view.column() : std::string()};
    if (std::ranges::find(keys, key) == keys.end()) keys.push_back(key);
  }
  for (const auto& [row, column] : keys) {
    std::vector<std::string> line{duel ? row + ", " + column : row};
    for (const std::string& kernel : kernels) {
      std::vector<double> counts, times;
      for (const CellView& view : views) {
        if (view.kernel() != kernel || view.row() != row || (duel && view.column() != column)) continue;
        counts.push_back(view.operations);
        if (view.ns_per_operation) times.push_back(*view.ns_per_operation);
      }
      line.push_back(median_text(counts, false));
      line.push_back(median_text(times, true));
    }
    table.rows.push_back(std::move(line));
  }
  return table;
}

}  // namespace

void add_work(ProgramAnswer& answer, const ProgramGrid& grid, const ProgramWork& work) {
  const std::vector<CellView> views = cell_views(grid, work);
  if (views.empty() || grid.facts == nullptr) return;
  const ProgramFamily family = grid.facts->family;
  switch (family) {
    case ProgramFamily::small_arrays:
      answer.why = small_arrays_why(views);
      break;
    case ProgramFamily::file_duel:
      answer.why = file_duel_why(views);
      break;
    case ProgramFamily::grid_duel:
      answer.why = grid_duel_why(views);
      break;
    case ProgramFamily::cutoff:
      answer.why = cutoff_why(views);
      break;
  }
  answer.work_table = work_table(views, grid, family == ProgramFamily::file_duel);
  const bool sampled = std::ranges::any_of(work.cells, [](const LabelledWork& cell) { return cell.work.sampled(); });
  answer.work_legend = fmt::format(
      "ops/elem: comparisons per element (CSORT: counter increments and positions scanned), counted on the data of "
      "repeat {} (seed {}){}; ns/op: the cell's median time per operation{}",
      work.repeat, work.seed, sampled ? ", on every 20th array of each batch" : "",
      has_two_tables(family) ? "; each the median over the row's columns" : "");
}

}  // namespace analysis
