// smallsix and smallfive: the sorts ranked at each length.
#include <fmt/format.h>

#include <algorithm>
#include <cmath>

#include "analysis/records/kernel_series.hpp"
#include "analysis/text/text_format.hpp"
#include "analysis/verdicts/answer_parts.hpp"

namespace analysis::answers {

void rank_small_arrays(const ProgramGrid& grid, Look look, ProgramAnswer& answer) {
  const std::vector<TableGrid> series = kernel_series(grid);
  if (series.empty()) return;
  const double arrays = grid.facts != nullptr ? static_cast<double>(grid.facts->arrays_per_cell()) : 1.0;
  const NoiseModel noise;
  answer.basis = basis_text(grid.repeats(), noise, look);
  answer.question = "Which sort is fastest at each length?";
  answer.table.header = {"n"};
  answer.table.numeric = {true};
  for (const TableGrid& s : series) {
    answer.table.header.push_back(s.name);
    answer.table.numeric.push_back(false);
  }
  answer.legend = fmt::format(
      "rank, then time per array (median{}); rank 1 is the fastest; \"=\" not told apart from the sort ranked "
      "just above",
      grid.repeats() > 1 ? ", ± " + coverage_words(grid.repeats()) : "");
  const TableGrid& lead = series.front();
  std::vector<std::pair<std::string, std::string>> leaders;  // length, fastest
  std::vector<std::string> changes;
  std::vector<std::size_t> previous_order;
  for (std::size_t r = 0; r < lead.rows.size(); ++r) {
    std::vector<std::pair<double, std::size_t>> by_time;
    for (std::size_t s = 0; s < series.size(); ++s) {
      const auto row = series[s].row_index(lead.rows[r]);
      if (row && !series[s].cell(*row, 0).empty()) by_time.emplace_back(median_nanoseconds(series[s].cell(*row, 0)), s);
    }
    if (by_time.empty()) continue;
    std::stable_sort(by_time.begin(), by_time.end());
    std::vector<std::string> cells(series.size(), "-");
    std::size_t rank = 1;
    std::vector<std::size_t> order;
    for (std::size_t place = 0; place < by_time.size(); ++place) {
      const auto [time, s] = by_time[place];
      const Samples& cell = series[s].cell(*series[s].row_index(lead.rows[r]), 0);
      bool tied = false;
      if (place > 0) {
        const std::size_t above = by_time[place - 1].second;
        const Samples& upper = series[above].cell(*series[above].row_index(lead.rows[r]), 0);
        const Decision d = decide(paired_ratios(cell, upper), noise, look);
        tied = !d.decided();
        if (tied)
          note_open(answer, fmt::format("n = {}: {} against {}", lead.rows[r], series[s].name, series[above].name), d);
        if (!tied) rank = place + 1;
      }
      order.push_back(s);
      cells[s] = fmt::format("{}{} {}{}", rank, tied ? "=" : " ", format_time(time / arrays), spread_text(cell));
    }
    if (!previous_order.empty() && previous_order != order) changes.push_back(lead.rows[r]);
    previous_order = order;
    std::vector<std::string> row{lead.rows[r]};
    row.insert(row.end(), cells.begin(), cells.end());
    answer.table.rows.push_back(std::move(row));
    leaders.emplace_back(lead.rows[r], series[by_time.front().second].name);
  }
  // "SSORT up to n = 15, ISORT from n = 20"
  std::vector<std::string> spans;
  for (std::size_t i = 0; i < leaders.size();) {
    std::size_t j = i;
    while (j + 1 < leaders.size() && leaders[j + 1].second == leaders[i].second) ++j;
    const bool first = i == 0, last = j + 1 == leaders.size();
    const std::string& who = leaders[i].second;
    if (first && last) {
      spans.push_back(fmt::format("{} at every length", who));
    } else if (first) {
      spans.push_back(fmt::format("{} up to n = {}", who, leaders[j].first));
    } else if (last) {
      spans.push_back(fmt::format("{} from n = {}", who, leaders[i].first));
    } else {
      spans.push_back(fmt::format("{} from n = {} to {}", who, leaders[i].first, leaders[j].first));
    }
    i = j + 1;
  }
  answer.answer = fmt::format("Fastest: {}.", fmt::join(spans, ", "));
  if (!changes.empty()) answer.answer += fmt::format(" The ranking changes at n = {}.", fmt::join(changes, ", "));
}

}  // namespace analysis::answers
