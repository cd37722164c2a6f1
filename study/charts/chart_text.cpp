#include "study/charts/chart_text.hpp"

#include <fmt/format.h>

#include "analysis/statistics/order_statistics.hpp"
#include "analysis/text/text_format.hpp"

namespace study {

std::string legend_entry(const kit::KernelName& kernel) { return fmt::format("{}  {}", kernel.name, kernel.legend); }

std::string interval_name(const Coverage& coverage) {
  return fmt::format("{:.0f} % interval", 100 * (coverage.nominal ? analysis::nominal_coverage : coverage.fraction));
}

std::string interval_label(const Coverage& coverage) {
  if (coverage.runs < 2) return {};
  if (coverage.nominal) return interval_name(coverage) + " of the median";
  // Below six runs no pair of ranks reaches 95 %: the whole range is the interval.
  return fmt::format("min to max of {} runs (a {})", coverage.runs, interval_name(coverage));
}

std::vector<std::string> interval_label_lines(const Coverage& coverage) {
  const std::string label = interval_label(coverage);
  const std::size_t split = std::min(label.find(" ("), label.size());
  std::vector<std::string> lines{label.substr(0, split)};
  if (split < label.size()) lines.push_back(label.substr(split + 1));
  return lines;
}

std::string runs_note(const Coverage& coverage) {
  if (coverage.runs == 1) return "precise times from the run's record";
  return fmt::format("medians of {} runs' precise times", coverage.runs);
}

std::string source_note(const Coverage& coverage) {
  if (coverage.runs < 2) return runs_note(coverage);
  return runs_note(coverage) + "; bars: " + interval_label(coverage);
}

std::string comparison_bars(const Coverage& coverage) {
  if (coverage.fraction <= 0) return "no interval from one run each";
  if (coverage.nominal) return "bars the " + interval_name(coverage);
  return (coverage.varies ? "bars at least a " : "bars a ") + interval_name(coverage);
}

std::string ratio_interval_text(const ValueInterval& interval) {
  return analysis::format_factor(interval.first, analysis::FactorForm::interval) + "\xe2\x80\x93" +
         analysis::format_factor(interval.second, analysis::FactorForm::interval);
}

}  // namespace study
