#include "analysis/statistics/cell_statistics.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>

#include "analysis/statistics/order_statistics.hpp"

namespace analysis {

double sorted_median(std::span<const double> sorted) {
  if (sorted.empty()) throw std::invalid_argument("no median of an empty sample");
  const std::size_t middle = sorted.size() / 2;
  return sorted.size() % 2 == 1 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2.0;
}

Interval median_interval(std::span<const double> sorted) {
  const RankInterval ranks = median_rank_interval(sorted.size());
  return Interval{sorted[ranks.lower - 1], sorted[ranks.upper - 1], ranks.coverage, ranks.reaches_nominal};
}

CellStatistics cell_statistics(std::vector<double> values) {
  if (values.empty()) throw std::invalid_argument("no statistics of an empty cell");
  std::sort(values.begin(), values.end());
  CellStatistics stats;
  stats.count = values.size();
  stats.median = sorted_median(values);
  stats.minimum = values.front();
  stats.maximum = values.back();
  stats.mean = std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
  if (values.size() > 1) {
    double squares = 0.0;
    for (const double v : values) squares += (v - stats.mean) * (v - stats.mean);
    stats.standard_deviation = std::sqrt(squares / static_cast<double>(values.size() - 1));
  }
  stats.coefficient_of_variation = stats.mean > 0.0 ? stats.standard_deviation / stats.mean : 0.0;
  stats.median_interval = median_interval(values);
  return stats;
}

CellStatistics cell_statistics(std::span<const Sample> samples) {
  std::vector<double> values;
  values.reserve(samples.size());
  for (const Sample& s : samples) values.push_back(static_cast<double>(s.nanoseconds));
  return cell_statistics(std::move(values));
}

std::string coverage_note(const Interval& interval) {
  if (interval.reaches_nominal) return "";
  return fmt::format(", {:.3g} % coverage", interval.coverage * 100.0);
}

}  // namespace analysis
