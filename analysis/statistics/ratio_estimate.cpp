#include "analysis/statistics/ratio_estimate.hpp"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <vector>

#include "analysis/statistics/order_statistics.hpp"

namespace analysis {

namespace {

double median_of(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return sorted_median(values);
}

std::vector<double> values_of(std::span<const KeyedValue> keyed) {
  std::vector<double> values;
  for (const KeyedValue& k : keyed) values.push_back(positive_time(k.value));
  return values;
}

std::vector<KeyedValue> keyed(std::span<const Sample> samples, Pairing pairing) {
  std::vector<KeyedValue> values;
  for (const Sample& s : samples) {
    const std::uint64_t key =
        pairing == Pairing::by_seed ? std::uint64_t{s.seed} : static_cast<std::uint64_t>(s.repeat);
    values.push_back(KeyedValue{key, static_cast<double>(s.nanoseconds)});
  }
  return values;
}

}  // namespace

RatioEstimate unpaired_ratio(std::span<const double> numerator, std::span<const double> denominator) {
  if (numerator.empty() || denominator.empty()) throw std::invalid_argument("no ratio of an empty sample");
  std::vector<double> top;
  std::vector<double> bottom;
  for (const double v : numerator) top.push_back(positive_time(v));
  for (const double v : denominator) bottom.push_back(positive_time(v));
  std::vector<double> ratios;
  ratios.reserve(top.size() * bottom.size());
  for (const double t : top) {
    for (const double b : bottom) ratios.push_back(t / b);
  }
  std::sort(ratios.begin(), ratios.end());
  const RankInterval ranks = shift_rank_interval(top.size(), bottom.size());
  RatioEstimate estimate;
  estimate.ratio = median_of(top) / median_of(bottom);
  estimate.interval = Interval{ratios[ranks.lower - 1], ratios[ranks.upper - 1], ranks.coverage, ranks.reaches_nominal};
  estimate.paired = false;
  estimate.numerator_count = top.size();
  estimate.denominator_count = bottom.size();
  return estimate;
}

RatioEstimate paired_ratio(std::span<const KeyedValue> numerator, std::span<const KeyedValue> denominator) {
  if (numerator.empty() || denominator.empty()) throw std::invalid_argument("no ratio of an empty sample");
  std::map<std::uint64_t, double> bottom_by_key;
  for (const KeyedValue& b : denominator) bottom_by_key.emplace(b.key, positive_time(b.value));
  std::vector<double> ratios;
  std::vector<double> top;
  std::vector<double> bottom;
  for (const KeyedValue& t : numerator) {
    const auto partner = bottom_by_key.find(t.key);
    if (partner == bottom_by_key.end()) continue;
    top.push_back(positive_time(t.value));
    bottom.push_back(partner->second);
    ratios.push_back(top.back() / bottom.back());
  }
  if (ratios.empty()) return unpaired_ratio(values_of(numerator), values_of(denominator));
  std::sort(ratios.begin(), ratios.end());
  RatioEstimate estimate;
  estimate.ratio = median_of(top) / median_of(bottom);
  estimate.interval = median_interval(ratios);
  estimate.paired = true;
  estimate.numerator_count = top.size();
  estimate.denominator_count = bottom.size();
  return estimate;
}

RatioEstimate ratio_estimate(std::span<const Sample> numerator, std::span<const Sample> denominator, Pairing pairing) {
  const std::vector<KeyedValue> top = keyed(numerator, pairing);
  const std::vector<KeyedValue> bottom = keyed(denominator, pairing);
  if (pairing == Pairing::none) return unpaired_ratio(values_of(top), values_of(bottom));
  return paired_ratio(top, bottom);
}

}  // namespace analysis
