// smallsix and smallfive: the sorts ranked at each length.
#include <fmt/format.h>

#include <algorithm>
#include <cmath>

#include "analysis/records/kernel_series.hpp"
#include "analysis/text/text_format.hpp"
#include "analysis/verdicts/answer_parts.hpp"

namespace analysis::answers {
namespace {

// The sorts measured at one length, fastest median first: (median, sort).
using Placing = std::vector<std::pair<double, std::size_t>>;

// One length of the table: the sorts' cells and how they were placed.
class LengthRanking {
 public:
  LengthRanking(const std::vector<TableGrid>& series, const std::string& length)
      : series_(series), length_(length), cells_(series.size(), nullptr) {
    for (std::size_t s = 0; s < series_.size(); ++s) {
      const auto row = series_[s].row_index(length_);
      if (!row || series_[s].cell(*row, 0).empty()) continue;
      cells_[s] = &series_[s].cell(*row, 0);
      placing_.emplace_back(median_nanoseconds(*cells_[s]), s);
    }
    std::stable_sort(placing_.begin(), placing_.end());
  }

  bool empty() const { return placing_.empty(); }
  const Placing& placing() const { return placing_; }
  // The cell of a sort that was placed.
  const Samples& cell(std::size_t s) const { return *cells_[s]; }

  // Per sort its table cell, "2= 3.21 µs ±4%", or "-" where it was not
  // measured. A sort joins a rank when it is not told apart from the rank's
  // first sort; ties with the sort just above would chain a slow sort to
  // the top. Notes each tie as an open question.
  struct Ranks {
    std::vector<std::string> cells;
    std::vector<bool> first_rank;  // per sort: shares rank 1
    bool close_at_top = false;     // the runner-up is not told apart from the fastest
  };
  Ranks rank(const NoiseModel& noise, Look look, double arrays, ProgramAnswer& answer) const {
    Ranks ranks{std::vector<std::string>(series_.size(), "-"), std::vector<bool>(series_.size(), false)};
    std::size_t rank = 1, first_of_rank = placing_.front().second;
    for (std::size_t place = 0; place < placing_.size(); ++place) {
      const auto [time, s] = placing_[place];
      bool tied = false;
      if (place > 0) {
        const Decision d = decide_cells(cell(s), cell(first_of_rank), noise, look);
        tied = !d.decided();
        if (tied) {
          note_open(answer, "n = " + length_, series_[s].name + " against " + series_[first_of_rank].name, d);
          ranks.close_at_top = ranks.close_at_top || place == 1;
        } else {
          rank = place + 1;
          first_of_rank = s;
        }
      }
      ranks.first_rank[s] = rank == 1;
      ranks.cells[s] = fmt::format("{}{} {}{}{}", rank, tied ? "=" : " ", format_time(time / arrays),
                                   spread_text(cell(s)), disturbed_mark(any_disturbed(cell(s))));
    }
    return ranks;
  }

 private:
  const std::vector<TableGrid>& series_;
  const std::string& length_;
  std::vector<const Samples*> cells_;  // per sort, found once; nullptr where not measured
  Placing placing_;
};

// Per pair of sorts, the last length where the two were told apart, by
// which was faster there: the ranking changes where a decided order turns,
// never on noise alone, and somewhere between that length and the one that
// turns it.
class DecidedOrders {
 public:
  DecidedOrders(const std::vector<TableGrid>& series)
      : series_(series), last_faster_(series.size(), std::vector<std::string>(series.size())) {}

  // Takes in the orders the length `n` decides; says each order it turns:
  // "SSORT falls behind HSORT between n = 10 and n = 40".
  std::vector<std::string> turned_by(const LengthRanking& length, const std::string& n, const NoiseModel& noise,
                                     Look look) {
    const Placing& placing = length.placing();
    std::vector<std::string> turns;
    for (std::size_t a = 0; a < placing.size(); ++a) {
      for (std::size_t b = a + 1; b < placing.size(); ++b) {
        const Decision d = decide_cells(length.cell(placing[b].second), length.cell(placing[a].second), noise, look);
        if (!d.decided()) continue;
        const std::size_t faster = placing[d.ratio > 1 ? a : b].second, slower = placing[d.ratio > 1 ? b : a].second;
        if (!last_faster_[slower][faster].empty()) {
          turns.push_back(fmt::format("{} falls behind {} between n = {} and n = {}", series_[slower].name,
                                      series_[faster].name, last_faster_[slower][faster], n));
        }
        last_faster_[faster][slower] = n;
        last_faster_[slower][faster].clear();
      }
    }
    return turns;
  }

 private:
  const std::vector<TableGrid>& series_;
  std::vector<std::vector<std::string>> last_faster_;  // [faster][slower]: the length, "" for none
};

// Per length the fastest sort: (length, name).
using Leaders = std::vector<std::pair<std::string, std::string>>;

// "SSORT up to n = 15, ISORT from n = 20"
std::string leader_spans(const Leaders& leaders) {
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
  return fmt::format("{}", fmt::join(spans, ", "));
}

void describe_table(const ProgramGrid& grid, const std::vector<TableGrid>& series, ProgramAnswer& answer) {
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
}

}  // namespace

void rank_small_arrays(const ProgramGrid& grid, Look look, ProgramAnswer& answer) {
  const std::vector<TableGrid> series = kernel_series(grid);
  if (series.empty()) return;
  const double arrays = grid.facts != nullptr ? static_cast<double>(grid.facts->arrays_per_cell) : 1.0;
  const NoiseModel noise = noise_model(grid);
  answer.basis = basis_text(grid.repeats(), noise, look);
  describe_table(grid, series, answer);
  Leaders leaders;
  std::vector<std::string> close_at_top;  // lengths where the runner-up is not told apart
  std::vector<std::string> changes;
  DecidedOrders orders(series);
  for (const std::string& length : series.front().rows) {
    const LengthRanking ranking(series, length);
    if (ranking.empty()) continue;
    LengthRanking::Ranks ranks = ranking.rank(noise, look, arrays, answer);
    if (ranks.close_at_top) close_at_top.push_back(length);
    for (std::string& turn : orders.turned_by(ranking, length, noise, look)) changes.push_back(std::move(turn));
    std::vector<std::string> row{length};
    row.insert(row.end(), ranks.cells.begin(), ranks.cells.end());
    answer.table.rows.push_back(std::move(row));
    // The fastest stays the fastest while the new median leader is not told apart from it.
    std::string fastest = series[ranking.placing().front().second].name;
    for (std::size_t s = 0; s < series.size() && !leaders.empty(); ++s) {
      if (ranks.first_rank[s] && series[s].name == leaders.back().second) fastest = series[s].name;
    }
    leaders.emplace_back(length, fastest);
  }
  answer.answer = "Fastest: " + leader_spans(leaders);
  if (!leaders.empty() && close_at_top.size() == leaders.size()) {
    answer.answer += " (not told apart from the second at any length)";
  } else if (!close_at_top.empty()) {
    answer.answer += fmt::format(" (at n = {} not told apart from the second)", fmt::join(close_at_top, ", "));
  }
  answer.answer += ".";
  if (!changes.empty()) answer.answer += fmt::format(" The ranking changes: {}.", fmt::join(changes, "; "));
}

}  // namespace analysis::answers
