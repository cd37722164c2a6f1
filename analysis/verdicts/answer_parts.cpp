#include "analysis/verdicts/answer_parts.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "analysis/records/kernel_series.hpp"
#include "analysis/statistics/cell_statistics.hpp"
#include "analysis/statistics/order_statistics.hpp"
#include "analysis/statistics/ratio_estimate.hpp"
#include "analysis/text/text_format.hpp"
#include "kit/kernel_names.hpp"

namespace analysis::answers {

Decision decide_cells(const Samples& numerator, const Samples& denominator, const NoiseModel& noise, Look look) {
  std::map<int, const Sample*> bottom;
  for (const Sample& s : denominator) bottom[s.repeat] = &s;
  std::vector<double> calm, disturbed;
  for (const Sample& top : numerator) {
    const auto found = bottom.find(top.repeat);
    if (found == bottom.end()) continue;
    const Sample& under = *found->second;
    const double ratio =
        positive_time(static_cast<double>(top.nanoseconds)) / positive_time(static_cast<double>(under.nanoseconds));
    (top.disturbed || under.disturbed ? disturbed : calm).push_back(ratio);
  }
  if (calm.empty() && !disturbed.empty()) {
    Decision decision = decide(disturbed, noise, look);
    // What they show would be decided: one calm run more may confirm it.
    if (decision.low > 1.0 || decision.high < 1.0) decision.runs_needed = decision.runs + 1;
    decision.disturbed = true;
    return decision;
  }
  Decision decision = decide(calm, noise, look);
  decision.left_out = disturbed.size();
  return decision;
}

bool any_disturbed(const Samples& samples) {
  return std::any_of(samples.begin(), samples.end(), [](const Sample& s) { return s.disturbed; });
}

std::string disturbed_mark(bool disturbed) { return disturbed ? kDisturbedMark : ""; }

double median_nanoseconds(const Samples& samples) { return positive_time(cell_statistics(samples).median); }

std::string legend_of(const std::string& kernel) {
  const std::string_view legend = kit::kernel_legend(kernel);
  return legend.empty() ? kernel : std::string(legend);
}

std::string basis_text(std::size_t runs, const NoiseModel& noise, Look look) {
  // As many decimals as the level needs: 99.962 %, never a rounded 100 %.
  const int decimals = std::max(0, static_cast<int>(std::ceil(-std::log10(100.0 * look.level()))) + 1);
  std::string level = fmt::format("{:.{}f}", 100.0 * (1.0 - look.level()), decimals);
  if (level.find('.') != std::string::npos) level.erase(level.find_last_not_of("0.") + 1);
  level += " %";
  const std::string spread = runs >= 3 ? "the runs' own spread" : "a noise model, " + noise.source;
  std::string text =
      fmt::format("N = {} run{}; differences decided at {} from {}", runs, runs == 1 ? "" : "s", level, spread);
  if (look.number > 0) text += fmt::format(" (look {} of a study run until decided)", look.number);
  return text;
}

// "±3 %" of a cell's median over the runs, with the interval's coverage in
// the table's legend; nothing for one run.
std::string spread_text(const Samples& samples) {
  if (samples.size() < 2) return {};
  const CellStatistics s = cell_statistics(samples);
  if (s.median <= 0) return {};
  const double half = std::max(s.median_interval.high / s.median - 1.0, 1.0 - s.median_interval.low / s.median);
  return fmt::format(" ±{:.0f}%", 100.0 * half);
}

std::string coverage_words(std::size_t runs) {
  const RankInterval ranks = median_rank_interval(runs);
  if (ranks.reaches_nominal) return "95 % interval of the median";
  return fmt::format("min to max of the {} runs, a {:.0f} % interval", runs, 100.0 * ranks.coverage);
}

void note_open(ProgramAnswer& answer, std::string where, std::string what, const Decision& decision) {
  answer.open.push_back(OpenQuestion{std::move(where), std::move(what), decision.runs_needed, decision.disturbed});
}

std::string undecided_rows(const ProgramAnswer& answer) {
  std::vector<std::string> rows = answer.open_rows();
  if (rows.empty()) return {};
  const std::size_t name_end = rows.front().find(" = ");
  const std::string name = name_end == std::string::npos ? std::string() : rows.front().substr(0, name_end + 3);
  const bool shared = !name.empty() && std::all_of(rows.begin(), rows.end(),
                                                   [&](const std::string& row) { return row.starts_with(name); });
  if (shared) {
    for (std::size_t i = 1; i < rows.size(); ++i) rows[i].erase(0, name.size());
  }
  return fmt::format("{}", fmt::join(rows, ", "));
}

std::string factor_interval(const Decision& d, bool inverted) {
  const double low = inverted ? 1.0 / d.high : d.low;
  const double high = inverted ? 1.0 / d.low : d.high;
  return fmt::format("{}–{}", format_factor(low, FactorForm::interval), format_factor(high, FactorForm::interval));
}

Raced raced_series(const ProgramGrid& grid) {
  Raced raced{nullptr, nullptr, kernel_series(grid)};
  if (raced.series.size() >= 2) {
    raced.first = &raced.series[0];
    raced.second = &raced.series[1];
  }
  return raced;
}

}  // namespace analysis::answers
