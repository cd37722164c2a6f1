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
      "rank, then time per array (median{}); rank 1 is the fastest; \"=\" not told apart from the first sort of "
      "that rank",
      grid.repeats() > 1 ? ", ± " + coverage_words(grid.repeats()) : "");
  const TableGrid& lead = series.front();
  std::vector<std::pair<std::string, std::string>> leaders;  // length, fastest
  std::vector<std::string> close_at_top;                     // lengths where the runner-up is not told apart
  std::vector<std::string> changes;
  // Per pair of sorts, which was faster where the two were last told apart:
  // the ranking changes where a decided order turns, never on noise alone.
  std::vector<std::vector<int>> decided_order(series.size(), std::vector<int>(series.size(), 0));
  for (std::size_t r = 0; r < lead.rows.size(); ++r) {
    std::vector<std::pair<double, std::size_t>> by_time;
    for (std::size_t s = 0; s < series.size(); ++s) {
      const auto row = series[s].row_index(lead.rows[r]);
      if (row && !series[s].cell(*row, 0).empty()) by_time.emplace_back(median_nanoseconds(series[s].cell(*row, 0)), s);
    }
    if (by_time.empty()) continue;
    std::stable_sort(by_time.begin(), by_time.end());
    const auto cell_of = [&](std::size_t s) -> const Samples& {
      return series[s].cell(*series[s].row_index(lead.rows[r]), 0);
    };
    std::vector<std::string> cells(series.size(), "-");
    // A sort joins a rank when it is not told apart from the rank's first
    // sort; ties with the sort just above would chain a slow sort to the top.
    std::size_t rank = 1, first_of_rank = by_time.front().second;
    std::vector<bool> ranked_first(series.size(), false);
    for (std::size_t place = 0; place < by_time.size(); ++place) {
      const auto [time, s] = by_time[place];
      bool tied = false;
      if (place > 0) {
        const Decision d = decide(paired_ratios(cell_of(s), cell_of(first_of_rank)), noise, look);
        tied = !d.decided();
        if (tied) {
          note_open(answer, "n = " + lead.rows[r], series[s].name + " against " + series[first_of_rank].name, d);
          if (place == 1) close_at_top.push_back(lead.rows[r]);
        } else {
          rank = place + 1;
          first_of_rank = s;
        }
      }
      ranked_first[s] = rank == 1;
      cells[s] = fmt::format("{}{} {}{}", rank, tied ? "=" : " ", format_time(time / arrays), spread_text(cell_of(s)));
    }
    bool turned = false;
    for (std::size_t a = 0; a < by_time.size(); ++a) {
      for (std::size_t b = a + 1; b < by_time.size(); ++b) {
        const Decision d = decide(paired_ratios(cell_of(by_time[b].second), cell_of(by_time[a].second)), noise, look);
        if (!d.decided()) continue;
        const std::size_t faster = by_time[d.ratio > 1 ? a : b].second, slower = by_time[d.ratio > 1 ? b : a].second;
        turned = turned || decided_order[slower][faster] > 0;
        decided_order[faster][slower] = 1;
        decided_order[slower][faster] = 0;
      }
    }
    if (turned) changes.push_back(lead.rows[r]);
    std::vector<std::string> row{lead.rows[r]};
    row.insert(row.end(), cells.begin(), cells.end());
    answer.table.rows.push_back(std::move(row));
    // The fastest stays the fastest while the new median leader is not told apart from it.
    std::string fastest = series[by_time.front().second].name;
    if (!leaders.empty()) {
      for (std::size_t s = 0; s < series.size(); ++s) {
        if (ranked_first[s] && series[s].name == leaders.back().second) fastest = series[s].name;
      }
    }
    leaders.emplace_back(lead.rows[r], fastest);
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
    } else if (i == j) {
      spans.push_back(fmt::format("{} at n = {}", who, leaders[i].first));
    } else {
      spans.push_back(fmt::format("{} from n = {} to {}", who, leaders[i].first, leaders[j].first));
    }
    i = j + 1;
  }
  answer.answer = fmt::format("Fastest: {}", fmt::join(spans, ", "));
  if (!close_at_top.empty()) {
    answer.answer += fmt::format(" (at n = {} not told apart from the second)", fmt::join(close_at_top, ", "));
  }
  answer.answer += ".";
  if (!changes.empty()) answer.answer += fmt::format(" The ranking changes at n = {}.", fmt::join(changes, ", "));
}

}  // namespace analysis::answers
