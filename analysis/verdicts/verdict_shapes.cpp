#include "analysis/verdicts/verdict_shapes.hpp"

#include <algorithm>

#include "analysis/statistics/cell_statistics.hpp"

namespace analysis {

namespace {

const std::vector<Sample>* samples_at(const TableGrid& table, const std::string& row, const std::string& column) {
  const auto r = table.row_index(row);
  const auto c = table.column_index(column);
  if (!r || !c || table.cell(*r, *c).empty()) return nullptr;
  return &table.cell(*r, *c);
}

double median_time(const std::vector<Sample>& samples) { return cell_statistics(samples).median; }

}  // namespace

std::vector<PositionRanking> rank_positions(std::span<const TableGrid> series, Pairing pairing) {
  std::vector<PositionRanking> rankings;
  if (series.empty()) return rankings;
  const TableGrid& lead = series.front();
  for (const auto [r, c] : lead.positions) {
    std::vector<std::pair<double, std::size_t>> by_median;
    std::vector<const std::vector<Sample>*> cells(series.size(), nullptr);
    for (std::size_t s = 0; s < series.size(); ++s) {
      cells[s] = samples_at(series[s], lead.rows[r], lead.columns[c]);
      if (cells[s]) by_median.emplace_back(median_time(*cells[s]), s);
    }
    if (by_median.empty()) continue;
    std::stable_sort(by_median.begin(), by_median.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    PositionRanking ranking;
    ranking.row = r;
    ranking.column = c;
    for (const auto& [median, s] : by_median) {
      ranking.order.push_back(s);
      ranking.medians.push_back(median);
    }
    const std::vector<Sample>& fastest = *cells[ranking.order.front()];
    ranking.repeats = fastest.size();
    for (std::size_t place = 1; place < ranking.order.size(); ++place) {
      const RatioEstimate ratio = ratio_estimate(*cells[ranking.order[place]], fastest, pairing);
      if (place == 1) ranking.runner_up = ratio;
      if (!ratio.above_one()) ranking.tied_with_fastest.push_back(ranking.order[place]);
    }
    rankings.push_back(std::move(ranking));
  }
  return rankings;
}

std::vector<RankingChange> ranking_changes(std::span<const PositionRanking> rankings, std::span<const TableGrid> series,
                                           Pairing pairing) {
  std::vector<RankingChange> changes;
  for (std::size_t i = 1; i < rankings.size(); ++i) {
    const PositionRanking& before = rankings[i - 1];
    const PositionRanking& now = rankings[i];
    const auto place_before = [&](std::size_t s) {
      return std::find(before.order.begin(), before.order.end(), s) - before.order.begin();
    };
    RankingChange change{i, {}};
    for (std::size_t a = 0; a < now.order.size(); ++a) {
      for (std::size_t b = a + 1; b < now.order.size(); ++b) {
        const std::size_t ahead = now.order[a];
        const std::size_t passed = now.order[b];
        const auto ahead_before = place_before(ahead);
        const auto passed_before = place_before(passed);
        const auto absent = static_cast<std::ptrdiff_t>(before.order.size());
        if (ahead_before == absent || passed_before == absent || ahead_before < passed_before) continue;
        const TableGrid& lead = series.front();
        const auto* ahead_cell = samples_at(series[ahead], lead.rows[now.row], lead.columns[now.column]);
        const auto* passed_cell = samples_at(series[passed], lead.rows[now.row], lead.columns[now.column]);
        const bool beyond_noise = ratio_estimate(*passed_cell, *ahead_cell, pairing).above_one();
        change.overtakings.push_back(Overtaking{ahead, passed, beyond_noise});
      }
    }
    if (!change.overtakings.empty()) changes.push_back(std::move(change));
  }
  return changes;
}

std::vector<DuelResult> duel(const TableGrid& first, const TableGrid& second, Pairing pairing) {
  std::vector<DuelResult> results;
  for (const auto [r, c] : first.positions) {
    const auto* first_cell = samples_at(first, first.rows[r], first.columns[c]);
    const auto* second_cell = samples_at(second, first.rows[r], first.columns[c]);
    if (!first_cell || !second_cell) continue;
    DuelResult result{r, c, ratio_estimate(*second_cell, *first_cell, pairing), DuelOutcome::not_distinguishable};
    if (result.second_over_first.below_one()) result.outcome = DuelOutcome::second_faster;
    if (result.second_over_first.above_one()) result.outcome = DuelOutcome::first_faster;
    results.push_back(result);
  }
  return results;
}

std::vector<Crossover> crossovers(const TableGrid& incumbent, const TableGrid& challenger, Pairing pairing) {
  const std::vector<DuelResult> all = duel(incumbent, challenger, pairing);
  std::vector<Crossover> columns;
  for (std::size_t c = 0; c < incumbent.columns.size(); ++c) {
    Crossover crossover{c, std::nullopt, std::nullopt, {}};
    for (const DuelResult& result : all) {
      if (result.column == c) crossover.rows.push_back(result);
    }
    std::stable_sort(crossover.rows.begin(), crossover.rows.end(),
                     [](const DuelResult& a, const DuelResult& b) { return a.row < b.row; });
    // Walk back from the longest row while the challenger keeps winning.
    for (auto result = crossover.rows.rbegin(); result != crossover.rows.rend(); ++result) {
      if (result->outcome != DuelOutcome::second_faster) break;
      crossover.established_from = result->row;
    }
    for (auto result = crossover.rows.rbegin(); result != crossover.rows.rend(); ++result) {
      if (result->second_over_first.ratio >= 1.0) break;
      crossover.median_from = result->row;
    }
    columns.push_back(std::move(crossover));
  }
  return columns;
}

std::vector<BestColumn> best_columns(const TableGrid& candidate, const TableGrid& baseline) {
  std::vector<BestColumn> best;
  for (std::size_t r = 0; r < candidate.rows.size(); ++r) {
    const auto baseline_row = baseline.row_index(candidate.rows[r]);
    if (!baseline_row) continue;
    std::vector<double> baseline_medians;
    std::vector<double> baseline_times;
    for (std::size_t c = 0; c < baseline.columns.size(); ++c) {
      const auto& cell = baseline.cell(*baseline_row, c);
      if (cell.empty()) continue;
      baseline_medians.push_back(median_time(cell));
      for (const Sample& s : cell) baseline_times.push_back(static_cast<double>(s.nanoseconds));
    }
    std::vector<std::pair<double, std::size_t>> by_median;
    for (std::size_t c = 0; c < candidate.columns.size(); ++c) {
      if (!candidate.cell(r, c).empty()) by_median.emplace_back(median_time(candidate.cell(r, c)), c);
    }
    if (baseline_times.empty() || by_median.empty()) continue;
    std::stable_sort(by_median.begin(), by_median.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    BestColumn row{r, by_median.front().second, by_median.front().first, {}, 0.0, {}};
    const auto& best_cell = candidate.cell(r, row.best);
    std::vector<double> best_times;
    for (const Sample& s : best_cell) best_times.push_back(static_cast<double>(s.nanoseconds));
    row.against_baseline = unpaired_ratio(best_times, baseline_times);
    std::sort(baseline_medians.begin(), baseline_medians.end());
    const double middle = sorted_median(baseline_medians);
    row.noise_tolerance = middle > 0.0 ? (baseline_medians.back() - baseline_medians.front()) / middle : 0.0;
    for (std::size_t place = 1; place < by_median.size(); ++place) {
      const auto [median, column] = by_median[place];
      const RatioEstimate ratio = ratio_estimate(candidate.cell(r, column), best_cell, Pairing::none);
      const bool within_noise = median <= row.best_median * (1.0 + row.noise_tolerance);
      const bool interval_says_tie = ratio.interval.coverage > 0.0 && !ratio.above_one();
      if (within_noise || interval_says_tie) row.indistinguishable.push_back(column);
    }
    std::sort(row.indistinguishable.begin(), row.indistinguishable.end());
    best.push_back(std::move(row));
  }
  return best;
}

}  // namespace analysis
