#include "analysis/verdicts/program_verdicts.hpp"

#include <fmt/format.h>

#include <string_view>

#include "analysis/records/kernel_series.hpp"
#include "analysis/statistics/order_statistics.hpp"
#include "analysis/text/text_format.hpp"
#include "analysis/verdicts/verdict_shapes.hpp"

namespace analysis {

namespace {

constexpr std::string_view undecided = "not distinguishable at this N";

std::string runs_clause(std::size_t n) {
  if (n == 1) return "N = 1 run, so no intervals";
  const RankInterval ranks = median_rank_interval(n);
  if (ranks.reaches_nominal) return fmt::format("N = {} runs, 95 % intervals", n);
  return fmt::format("N = {} runs; intervals span the runs ({:.3g} % coverage)", n, ranks.coverage * 100.0);
}

std::string opening(const ProgramGrid& grid) {
  std::string text = grid.repeats() == 0 ? grid.program + ": no complete run."
                                         : fmt::format("{}, {}.", grid.program, runs_clause(grid.repeats()));
  if (!grid.incomplete_runs.empty()) {
    std::vector<std::string> runs;
    for (const RunSummary& run : grid.incomplete_runs) {
      runs.push_back(run_description(run));
    }
    text += fmt::format(" Incomplete and left out: {}.", fmt::join(runs, ", "));
  }
  return text;
}

// A ratio as a factor above 1: as it stands, or inverted for "faster by".
std::string factor_text(const RatioEstimate& estimate, bool invert) {
  const double value = invert ? 1.0 / estimate.ratio : estimate.ratio;
  if (estimate.interval.coverage <= 0.0) return "by " + format_factor(value);
  const double low = invert ? 1.0 / estimate.interval.high : estimate.interval.low;
  const double high = invert ? 1.0 / estimate.interval.low : estimate.interval.high;
  return fmt::format("by {} (interval {} to {}{})", format_factor(value), format_factor(low), format_factor(high),
                     coverage_note(estimate.interval));
}

// Where a single run or the medians point, when the interval does not.
std::string_view leader_phrase(std::size_t repeats) { return repeats == 1 ? "in the one run" : "in the medians"; }

std::string ratio_text(std::string_view name, const RatioEstimate& estimate) {
  if (estimate.interval.coverage <= 0.0) return fmt::format("{} {}", name, format_factor(estimate.ratio));
  return fmt::format("{} {}, interval {} to {}{}", name, format_factor(estimate.ratio),
                     format_factor(estimate.interval.low), format_factor(estimate.interval.high),
                     coverage_note(estimate.interval));
}

const TableGrid* series_named(const std::vector<TableGrid>& series, std::string_view name) {
  for (const TableGrid& s : series) {
    if (s.name == name) return &s;
  }
  return nullptr;
}

// The two series a duel compares: the kernels of the program's first and
// second table, else the first two series.
struct DuelSeries {
  std::vector<TableGrid> series;
  const TableGrid* first = nullptr;
  const TableGrid* second = nullptr;
};

DuelSeries duel_series(const ProgramGrid& grid) {
  DuelSeries duel{kernel_series(grid)};
  if (grid.facts != nullptr) {
    const std::vector<RecordTable> tables = grid.facts->record_tables();
    if (tables.size() == 2) {
      duel.first = series_named(duel.series, tables[0].kernel);
      duel.second = series_named(duel.series, tables[1].kernel);
    }
  }
  if ((duel.first == nullptr || duel.second == nullptr) && duel.series.size() >= 2) {
    duel.first = &duel.series[0];
    duel.second = &duel.series[1];
  }
  if (duel.second == nullptr) duel.first = nullptr;
  return duel;
}

std::string position_text(const TableGrid& table, std::size_t row, std::size_t column, std::string_view row_name) {
  std::string text = row_name.empty() ? table.rows[row] : fmt::format("{} = {}", row_name, table.rows[row]);
  if (!table.columns[column].empty()) text += " / " + table.columns[column];
  return text;
}

// A tallyduel input: "n = 20000000, k = 10" from its count and range.
std::string input_text(const std::string& row, const std::string& column) {
  return column.empty() ? "n = " + row : fmt::format("n = {}, k = {}", row, column);
}

std::string ranking_verdict(const ProgramGrid& grid, std::string_view row_name, std::string_view heading) {
  std::string text = opening(grid);
  const std::vector<TableGrid> series = kernel_series(grid);
  const std::vector<PositionRanking> rankings = rank_positions(series, Pairing::by_repeat);
  if (rankings.empty()) return text;
  const TableGrid& lead = series.front();
  std::vector<std::string> entries;
  for (const PositionRanking& ranking : rankings) {
    std::string entry =
        position_text(lead, ranking.row, ranking.column, row_name) + " " + series[ranking.order[0]].name;
    if (ranking.runner_up) {
      const std::string& second = series[ranking.order[1]].name;
      if (ranking.tied_with_fastest.empty()) {
        entry += fmt::format(", ahead of {} {}", second, factor_text(*ranking.runner_up, false));
      } else {
        std::vector<std::string> tied;
        for (const std::size_t s : ranking.tied_with_fastest) tied.push_back(series[s].name);
        entry += fmt::format(", {} from {} ({})", undecided, fmt::join(tied, ", "),
                             ratio_text(second + "/" + series[ranking.order[0]].name, *ranking.runner_up));
      }
    }
    entries.push_back(entry);
  }
  text += fmt::format(" {}: {}.", heading, fmt::join(entries, "; "));

  const std::vector<RankingChange> changes = ranking_changes(rankings, series, Pairing::by_repeat);
  if (changes.empty()) return text + " The ranking is the same everywhere.";
  std::vector<std::string> places;
  for (const RankingChange& change : changes) {
    const PositionRanking& at = rankings[change.ranking];
    std::vector<std::string> passes;
    std::size_t within_noise = 0;
    for (const Overtaking& o : change.overtakings) {
      if (o.distinguishable) {
        passes.push_back(fmt::format("{} passes {}", series[o.ahead].name, series[o.passed].name));
      } else {
        ++within_noise;
      }
    }
    if (within_noise > 0) {
      passes.push_back(fmt::format("{} swap{} {}", within_noise, within_noise == 1 ? "" : "s", undecided));
    }
    places.push_back(fmt::format("{} ({})", position_text(lead, at.row, at.column, row_name), fmt::join(passes, ", ")));
  }
  return text + fmt::format(" The ranking changes at {}.", fmt::join(places, "; "));
}

}  // namespace

std::string small_array_verdict(const ProgramGrid& grid) { return ranking_verdict(grid, "n", "Fastest per length"); }

std::string file_duel_verdict(const ProgramGrid& grid) {
  std::string text = opening(grid);
  const DuelSeries pair = duel_series(grid);
  const TableGrid* quick = pair.first;
  const TableGrid* counting = pair.second;
  if (!quick) return text;
  std::vector<std::string> entries;
  for (const DuelResult& d : duel(*quick, *counting, Pairing::by_repeat)) {
    std::string entry = input_text(quick->rows[d.row], quick->columns[d.column]);
    const RatioEstimate& ratio = d.second_over_first;
    if (d.outcome == DuelOutcome::second_faster) {
      entry += fmt::format(": {} faster {}", counting->name, factor_text(ratio, true));
    } else if (d.outcome == DuelOutcome::first_faster) {
      entry += fmt::format(": {} faster {}", quick->name, factor_text(ratio, false));
    } else {
      const bool counting_leads = ratio.ratio < 1.0;
      entry += fmt::format(": {}; {} ahead {} {}", undecided, counting_leads ? counting->name : quick->name,
                           leader_phrase(grid.repeats()), factor_text(ratio, counting_leads));
    }
    entries.push_back(entry);
  }
  return text + fmt::format(" The faster sort per input: {}.", fmt::join(entries, "; "));
}

std::string grid_duel_verdict(const ProgramGrid& grid) {
  std::string text = opening(grid);
  const DuelSeries pair = duel_series(grid);
  const TableGrid* quick = pair.first;
  const TableGrid* counting = pair.second;
  if (!quick || quick->rows.empty()) return text;
  std::vector<std::string> entries;
  for (const Crossover& crossover : crossovers(*quick, *counting, Pairing::by_repeat)) {
    const std::string range = "k = " + quick->columns[crossover.column];
    const auto at_row = [&](std::size_t row) {
      for (const DuelResult& d : crossover.rows) {
        if (d.row == row) return d.second_over_first;
      }
      return RatioEstimate{};
    };
    if (crossover.established_from) {
      const std::size_t row = *crossover.established_from;
      std::string entry = fmt::format("{}: from n = {}, where {} is faster {}", range, quick->rows[row], counting->name,
                                      factor_text(at_row(row), true));
      if (crossover.median_from && *crossover.median_from < row) {
        entry +=
            fmt::format(", ahead {} from n = {}", leader_phrase(grid.repeats()), quick->rows[*crossover.median_from]);
      }
      entries.push_back(entry);
    } else if (crossover.median_from) {
      const std::size_t row = *crossover.median_from;
      entries.push_back(fmt::format("{}: {}; {} ahead {} from n = {}, there {}", range, undecided, counting->name,
                                    leader_phrase(grid.repeats()), quick->rows[row], factor_text(at_row(row), true)));
    } else {
      entries.push_back(fmt::format("{}: not faster at n = {}", range, quick->rows.back()));
    }
  }
  return text + fmt::format(" The shortest length from which {} is faster and stays faster, per value range: {}.",
                            counting->name, fmt::join(entries, "; "));
}

std::string cutoff_verdict(const ProgramGrid& grid) {
  std::string text = opening(grid);
  const DuelSeries pair = duel_series(grid);
  const TableGrid* recursive = pair.first;
  const TableGrid* combined = pair.second;
  if (!recursive) return text;
  std::vector<std::string> entries;
  for (const BestColumn& best : best_columns(*combined, *recursive)) {
    const RatioEstimate& ratio = best.against_baseline;
    std::string entry = fmt::format("n = {}: cutoff {}, gain {}", combined->rows[best.row],
                                    combined->columns[best.best], format_percent(1.0 - ratio.ratio));
    if (ratio.interval.coverage > 0.0) {
      entry +=
          fmt::format(" (interval {}{})", format_percent_range(1.0 - ratio.interval.high, 1.0 - ratio.interval.low),
                      coverage_note(ratio.interval));
    }
    if (!ratio.distinguishable()) entry += fmt::format(", {} from {}", undecided, recursive->name);
    std::vector<std::string> tied;
    for (const std::size_t c : best.indistinguishable) tied.push_back(combined->columns[c]);
    entry +=
        tied.empty() ? ", no other cutoff within noise" : ", within noise: " + fmt::format("{}", fmt::join(tied, " "));
    entry += fmt::format(" (tolerance {})", format_percent(best.noise_tolerance));
    entries.push_back(entry);
  }
  return text + fmt::format(
                    " Best cutoff per length, its gain over {} (every {} cell of the length as baseline) and the "
                    "cutoffs within noise of it (tolerance: the spread of the length's {} cells): {}.",
                    recursive->name, recursive->name, recursive->name, fmt::join(entries, "; "));
}

std::string program_verdict(const ProgramGrid& grid) {
  if (grid.facts == nullptr) return ranking_verdict(grid, "", "Fastest per position");
  switch (grid.facts->kind()) {
    case ProgramKind::small_arrays:
      return small_array_verdict(grid);
    case ProgramKind::file_duel:
      return file_duel_verdict(grid);
    case ProgramKind::grid_duel:
      return grid_duel_verdict(grid);
    case ProgramKind::cutoff:
      return cutoff_verdict(grid);
  }
  return ranking_verdict(grid, "", "Fastest per position");
}

std::vector<Verdict> verdicts(const RunModel& model) {
  std::vector<Verdict> all;
  for (const ProgramGrid& grid : model.programs) all.push_back(Verdict{grid.program, program_verdict(grid)});
  return all;
}

}  // namespace analysis
