// The questions the suite's tables answer, independent of any one program:
// which series is fastest at each position, which of two series wins where,
// from which row on a challenger stays ahead, and which column of a row is
// best against a baseline whose repeated cells measure the noise.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/records/program_grid.hpp"
#include "analysis/statistics/ratio_estimate.hpp"

namespace analysis {

// The series at one position (row, column), fastest median first.
struct PositionRanking {
  std::size_t row = 0;
  std::size_t column = 0;
  std::vector<std::size_t> order;              // indices into the series
  std::vector<double> medians;                 // per series in order, same order
  std::optional<RatioEstimate> runner_up;      // runner-up / fastest
  std::vector<std::size_t> tied_with_fastest;  // series not distinguishable from the fastest
  std::size_t repeats = 0;                     // samples of the fastest
};

// Positions are the rows and columns of the first series; a series without
// samples at a position is left out there.
std::vector<PositionRanking> rank_positions(std::span<const TableGrid> series, Pairing pairing);

// Series `ahead` moved in front of series `passed` from the previous
// position to this one.
struct Overtaking {
  std::size_t ahead = 0;
  std::size_t passed = 0;
  bool distinguishable = false;  // at the new position, ahead is faster beyond noise
};

struct RankingChange {
  std::size_t ranking = 0;  // index of the ranking whose order differs from the one before
  std::vector<Overtaking> overtakings;
};

std::vector<RankingChange> ranking_changes(std::span<const PositionRanking> rankings, std::span<const TableGrid> series,
                                           Pairing pairing);

enum class DuelOutcome { first_faster, second_faster, not_distinguishable };

struct DuelResult {
  std::size_t row = 0;  // position in the first table
  std::size_t column = 0;
  RatioEstimate second_over_first;
  DuelOutcome outcome = DuelOutcome::not_distinguishable;
};

// Every position of `first` that both tables measured, matched by labels.
std::vector<DuelResult> duel(const TableGrid& first, const TableGrid& second, Pairing pairing);

// Along the rows of one column: from which row on the challenger is faster
// in every later row.
struct Crossover {
  std::size_t column = 0;
  std::optional<std::size_t> established_from;  // faster beyond noise in that row and all after it
  std::optional<std::size_t> median_from;       // faster in the median in that row and all after it
  std::vector<DuelResult> rows;                 // challenger / incumbent, by row
};

std::vector<Crossover> crossovers(const TableGrid& incumbent, const TableGrid& challenger, Pairing pairing);

// The fastest column of one row of `candidate` against the same row of
// `baseline`, a table whose columns all measure one thing, so that the
// spread of its row is a measure of the noise even for a single run.
struct BestColumn {
  std::size_t row = 0;
  std::size_t best = 0;  // column
  double best_median = 0.0;
  RatioEstimate against_baseline;              // best cell / every sample of the baseline row
  double noise_tolerance = 0.0;                // (max - min) / median of the baseline row's cell medians
  std::vector<std::size_t> indistinguishable;  // other columns tied with the best
};

std::vector<BestColumn> best_columns(const TableGrid& candidate, const TableGrid& baseline);

}  // namespace analysis
