#include "analysis/statistics/run_comparison.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <span>
#include <tuple>

#include "analysis/records/kernel_series.hpp"
#include "analysis/records/program_grid.hpp"
#include "analysis/statistics/decision.hpp"
#include "analysis/text/text_format.hpp"

namespace analysis {

namespace {

using CellPlace = std::tuple<std::string, std::string, std::string>;  // table, row, column

std::set<CellPlace> measured_cells(const ProgramGrid& grid) {
  std::set<CellPlace> cells;
  for (const TableGrid& table : grid.tables) {
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
      for (std::size_t c = 0; c < table.columns.size(); ++c) {
        if (!table.cell(r, c).empty()) cells.emplace(table.name, table.rows[r], table.columns[c]);
      }
    }
  }
  return cells;
}

std::string joined_names(const std::vector<std::string>& names) {
  return names.empty() ? "none" : fmt::format("{}", fmt::join(names, ", "));
}

void refuse_different_programs(const MeasurementSet& a, const MeasurementSet& b) {
  std::vector<std::string> programs_a = a.programs();
  std::vector<std::string> programs_b = b.programs();
  std::sort(programs_a.begin(), programs_a.end());
  std::sort(programs_b.begin(), programs_b.end());
  if (programs_a != programs_b) {
    throw ComparisonRefused(fmt::format("A and B ran different programs: A {}; B {}", joined_names(a.programs()),
                                        joined_names(b.programs())));
  }
}

void refuse_different_cells(const ProgramGrid& a, const ProgramGrid& b) {
  for (const auto& [grid, side] : {std::pair{&a, "A"}, std::pair{&b, "B"}}) {
    if (grid->repeats() == 0) throw ComparisonRefused(fmt::format("{}: no complete run in {}", grid->program, side));
  }
  const std::set<CellPlace> cells_a = measured_cells(a);
  const std::set<CellPlace> cells_b = measured_cells(b);
  if (cells_a == cells_b) return;
  std::vector<std::string> differences;
  for (const auto& [cells, other, side] : {std::tuple{&cells_a, &cells_b, "A"}, std::tuple{&cells_b, &cells_a, "B"}}) {
    for (const auto& [table, row, column] : *cells) {
      if (!other->contains({table, row, column})) {
        differences.push_back(
            fmt::format("table \"{}\" row \"{}\" column \"{}\" only in {}", table, row, column, side));
      }
    }
  }
  const std::size_t shown = std::min<std::size_t>(differences.size(), 3);
  std::string text;
  for (std::size_t i = 0; i < shown; ++i) text += (i > 0 ? "; " : "") + differences[i];
  if (differences.size() > shown) text += fmt::format("; and {} more", differences.size() - shown);
  throw ComparisonRefused(fmt::format("{}: A and B measured different cells (other parameters?): {}", a.program, text));
}

// Both studies replayed the same seeds, each seed once.
bool same_seeds(const ProgramGrid& a, const ProgramGrid& b) {
  const auto seeds = [](const ProgramGrid& grid) {
    std::multiset<std::uint32_t> all;
    for (const RunSummary& run : grid.complete_runs) all.insert(run.seed);
    return all;
  };
  const auto seeds_a = seeds(a);
  const std::set<std::uint32_t> distinct(seeds_a.begin(), seeds_a.end());
  return distinct.size() == seeds_a.size() && seeds_a == seeds(b);
}

// Per run, the geometric mean of its times over every cell of the series;
// a run missing a cell is left out.
std::vector<KeyedValue> run_geometric_means(const TableGrid& series, const ProgramGrid& grid) {
  std::vector<KeyedValue> means;
  for (const RunSummary& run : grid.complete_runs) {
    double log_sum = 0.0;
    std::size_t cells = 0;
    bool every_cell = true;
    for (const auto& samples : series.cells) {
      if (samples.empty()) continue;
      const auto sample =
          std::find_if(samples.begin(), samples.end(), [&](const Sample& s) { return s.repeat == run.repeat; });
      if (sample == samples.end()) {
        every_cell = false;
        break;
      }
      log_sum += std::log(positive_time(static_cast<double>(sample->nanoseconds)));
      ++cells;
    }
    if (every_cell && cells > 0) {
      means.push_back(KeyedValue{run.seed, std::exp(log_sum / static_cast<double>(cells))});
    }
  }
  return means;
}

KernelChange kernel_change(const TableGrid& series_a, const TableGrid& series_b, const ProgramGrid& a,
                           const ProgramGrid& b, const std::vector<CellRatio>& cells, bool paired) {
  KernelChange change{series_a.name, 0, 1.0, {}};
  double log_sum = 0.0;
  for (const CellRatio& cell : cells) {
    if (cell.series != series_a.name) continue;
    log_sum += std::log(cell.ratio.ratio);
    ++change.cells;
  }
  if (change.cells == 0) return change;
  change.geometric_mean_ratio = std::exp(log_sum / static_cast<double>(change.cells));
  const std::vector<KeyedValue> means_a = run_geometric_means(series_a, a);
  const std::vector<KeyedValue> means_b = run_geometric_means(series_b, b);
  if (means_a.empty() || means_b.empty()) return change;
  if (paired) {
    change.interval = paired_ratio(means_b, means_a).interval;
  } else {
    std::vector<double> values_a;
    std::vector<double> values_b;
    for (const KeyedValue& v : means_a) values_a.push_back(v.value);
    for (const KeyedValue& v : means_b) values_b.push_back(v.value);
    change.interval = unpaired_ratio(values_b, values_a).interval;
  }
  return change;
}

// A comparison of two programs' runs before any kernel is weighed.
ProgramComparison comparison_of(const ProgramGrid& a, const ProgramGrid& b) {
  ProgramComparison comparison;
  comparison.program = a.program;
  comparison.runs_a = a.repeats();
  comparison.runs_b = b.repeats();
  comparison.incomplete_a = a.incomplete_runs;
  comparison.incomplete_b = b.incomplete_runs;
  return comparison;
}

ProgramComparison compare_program(const ProgramGrid& a, const ProgramGrid& b) {
  ProgramComparison comparison = comparison_of(a, b);
  comparison.paired_by_seed = same_seeds(a, b);
  const Pairing pairing = comparison.paired_by_seed ? Pairing::by_seed : Pairing::none;
  const std::vector<TableGrid> series_a = kernel_series(a);
  const std::vector<TableGrid> series_b = kernel_series(b);
  for (const TableGrid& sa : series_a) {
    // Equal cell sets give equal series; the checks only guard that.
    const auto sb =
        std::find_if(series_b.begin(), series_b.end(), [&](const TableGrid& s) { return s.name == sa.name; });
    if (sb == series_b.end()) continue;
    for (const auto [r, c] : sa.positions) {
      const auto row_b = sb->row_index(sa.rows[r]);
      const auto column_b = sb->column_index(sa.columns[c]);
      if (!row_b || !column_b || sb->cell(*row_b, *column_b).empty()) continue;
      comparison.cells.push_back(CellRatio{sa.name, sa.rows[r], sa.columns[c],
                                           benchmark_name(a.program, a.axes(), sa.name, sa.rows[r], sa.columns[c]),
                                           ratio_estimate(sb->cell(*row_b, *column_b), sa.cell(r, c), pairing)});
    }
    comparison.kernels.push_back(kernel_change(sa, *sb, a, b, comparison.cells, comparison.paired_by_seed));
  }
  return comparison;
}

// Per round (repeat) that both builds completed on the same seed, the log of
// B / A for one cell.
std::map<int, double> round_log_ratios(std::span<const Sample> a, std::span<const Sample> b) {
  std::map<int, const Sample*> by_round;
  for (const Sample& sample : a) by_round.emplace(sample.repeat, &sample);
  std::map<int, double> logs;
  for (const Sample& sample : b) {
    const auto partner = by_round.find(sample.repeat);
    if (partner == by_round.end() || partner->second->seed != sample.seed) continue;
    logs.emplace(sample.repeat, std::log(positive_time(static_cast<double>(sample.nanoseconds)) /
                                         positive_time(static_cast<double>(partner->second->nanoseconds))));
  }
  return logs;
}

// A decision's interval, at its confidence: a fixed number of rounds is one look.
Interval interval_of(const Decision& decision) {
  return Interval{decision.low, decision.high, decision.confidence, true};
}

std::string change_text(const KernelChange& change) {
  const double r = change.geometric_mean_ratio;
  const Interval& interval = change.interval;
  const std::string note = coverage_note(interval);
  if (interval.coverage <= 0.0) {
    return fmt::format("{} not distinguishable at this N (B/A {:.3f})", change.series, r);
  }
  if (interval.high < 1.0) {
    return fmt::format("B is {} faster on {}, interval {}{}", format_percent(1.0 - r), change.series,
                       format_percent_range(1.0 - interval.high, 1.0 - interval.low), note);
  }
  if (interval.low > 1.0) {
    return fmt::format("B is {} slower on {}, interval {}{}", format_percent(r - 1.0), change.series,
                       format_percent_range(interval.low - 1.0, interval.high - 1.0), note);
  }
  return fmt::format("no change on {} (B/A {:.3f} to {:.3f}{})", change.series, interval.low, interval.high, note);
}

}  // namespace

RunComparison compare_runs(const RunModel& a, const RunModel& b) {
  refuse_different_programs(a.measurements, b.measurements);
  RunComparison comparison;
  for (const ProgramGrid& grid_a : a.programs) {
    const ProgramGrid& grid_b = *b.program(grid_a.program);
    refuse_different_cells(grid_a, grid_b);
    comparison.programs.push_back(compare_program(grid_a, grid_b));
  }
  return comparison;
}

ProgramComparison compare_rounds(const ProgramGrid& a, const ProgramGrid& b) {
  refuse_different_cells(a, b);
  ProgramComparison comparison = comparison_of(a, b);
  comparison.paired_by_round = true;
  const std::vector<TableGrid> series_a = kernel_series(a);
  const std::vector<TableGrid> series_b = kernel_series(b);
  for (const TableGrid& sa : series_a) {
    const auto sb =
        std::find_if(series_b.begin(), series_b.end(), [&](const TableGrid& s) { return s.name == sa.name; });
    if (sb == series_b.end()) continue;
    // Per round the sum of the cells' log ratios, and how many cells it holds.
    std::map<int, std::pair<double, std::size_t>> rounds;
    std::size_t cells = 0;
    for (const auto [r, c] : sa.positions) {
      const auto row_b = sb->row_index(sa.rows[r]);
      const auto column_b = sb->column_index(sa.columns[c]);
      if (!row_b || !column_b) continue;
      const std::map<int, double> logs = round_log_ratios(sa.cell(r, c), sb->cell(*row_b, *column_b));
      if (logs.empty()) continue;
      ++cells;
      std::vector<double> ratios;
      for (const auto& [round, log] : logs) {
        ratios.push_back(std::exp(log));
        rounds[round].first += log;
        ++rounds[round].second;
      }
      const Decision decision = decide(ratios, NoiseModel{});
      RatioEstimate estimate;
      estimate.ratio = decision.ratio;
      estimate.interval = interval_of(decision);
      estimate.paired = true;
      estimate.numerator_count = estimate.denominator_count = ratios.size();
      comparison.cells.push_back(CellRatio{sa.name, sa.rows[r], sa.columns[c],
                                           benchmark_name(a.program, a.axes(), sa.name, sa.rows[r], sa.columns[c]),
                                           estimate});
    }
    KernelChange change{sa.name, cells, 1.0, {}};
    // Only a round with every cell of the kernel speaks for the kernel.
    std::vector<double> ratios;
    for (const auto& [round, sum] : rounds) {
      if (sum.second == cells) ratios.push_back(std::exp(sum.first / static_cast<double>(cells)));
    }
    if (!ratios.empty()) {
      const Decision decision = decide(ratios, NoiseModel{});
      change.geometric_mean_ratio = decision.ratio;
      change.interval = interval_of(decision);
    }
    comparison.kernels.push_back(change);
  }
  return comparison;
}

std::string summary_line(const ProgramComparison& comparison) {
  std::string line = comparison.program + ": ";
  for (std::size_t i = 0; i < comparison.kernels.size(); ++i) {
    line += (i > 0 ? "; " : "") + change_text(comparison.kernels[i]);
  }
  if (comparison.paired_by_round) {
    line += fmt::format(". {} and {} runs, A and B in turn, paired by round.", comparison.runs_a, comparison.runs_b);
  } else {
    line += fmt::format(". N = {} and {}, {}.", comparison.runs_a, comparison.runs_b,
                        comparison.paired_by_seed ? "paired by seed" : "different seeds, unpaired");
  }
  const std::size_t left_out = comparison.incomplete_a.size() + comparison.incomplete_b.size();
  if (left_out > 0) line += fmt::format(" {} incomplete run{} left out.", left_out, left_out == 1 ? "" : "s");
  return line;
}

std::vector<RatioSeries> ratio_chart(const ProgramComparison& comparison) {
  std::vector<RatioSeries> chart;
  for (const CellRatio& cell : comparison.cells) {
    if (chart.empty() || chart.back().series != cell.series) chart.push_back(RatioSeries{cell.series, {}});
    const RatioEstimate& r = cell.ratio;
    chart.back().points.push_back(RatioPoint{cell.row, cell.column, r.ratio, r.interval.low, r.interval.high,
                                             r.interval.coverage, r.distinguishable()});
  }
  return chart;
}

}  // namespace analysis
