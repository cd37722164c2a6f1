// tallyduel and tallygrid: quicksort and counting sort raced on the same data.
#include <fmt/format.h>

#include <algorithm>
#include <cmath>

#include "analysis/records/kernel_series.hpp"
#include "analysis/text/text_format.hpp"
#include "analysis/verdicts/answer_parts.hpp"

namespace analysis::answers {

namespace {

// Where log(ratio) crosses 0 between two lengths, on log length.
double crossing(double n0, double ratio0, double n1, double ratio1) {
  const double l0 = std::log(ratio0), l1 = std::log(ratio1);
  if (l0 == l1) return n1;
  const double t = std::clamp(l0 / (l0 - l1), 0.0, 1.0);
  return std::exp(std::log(n0) + t * (std::log(n1) - std::log(n0)));
}

std::string length_text(double n) { return with_thousands(static_cast<std::int64_t>(std::llround(n))); }

}  // namespace

void race_inputs(const ProgramGrid& grid, const TableGrid& quick, const TableGrid& counting, Look look,
                 ProgramAnswer& answer) {
  const NoiseModel noise;
  answer.basis = basis_text(grid.repeats(), noise, look);
  answer.question =
      fmt::format("Which is faster on each input, {} or {}?", legend_of(quick.name), legend_of(counting.name));
  answer.table.header = {"input", "n", "k", "faster", "by", "interval", "decided"};
  answer.table.numeric = {true, true, true, false, true, true, false};
  answer.legend = "by: how many times faster; interval: of that factor";
  std::size_t input = 0, quick_wins = 0, counting_wins = 0;
  std::vector<double> counting_factors;
  for (const auto [r, c] : quick.positions) {
    ++input;
    const auto row = counting.row_index(quick.rows[r]);
    const auto column = counting.column_index(quick.columns[c]);
    if (!row || !column) continue;
    const Decision d = decide(paired_ratios(counting.cell(*row, *column), quick.cell(r, c)), noise, look);
    const bool counting_faster = d.ratio < 1.0;
    const std::string& faster = counting_faster ? counting.name : quick.name;
    const double factor = counting_faster ? 1.0 / d.ratio : d.ratio;
    if (d.decided()) {
      (counting_faster ? counting_wins : quick_wins) += 1;
      if (counting_faster) counting_factors.push_back(factor);
    } else {
      note_open(answer, fmt::format("input {}", input), fmt::format("n = {}, k = {}", quick.rows[r], quick.columns[c]),
                d);
    }
    answer.table.rows.push_back({std::to_string(input), quick.rows[r], quick.columns[c], faster, format_factor(factor),
                                 factor_interval(d, counting_faster),
                                 d.decided() ? "yes" : "no, " + runs_needed_text(d.runs_needed)});
  }
  std::string sentence = fmt::format("{} is faster on {} of {} inputs", legend_of(counting.name), counting_wins, input);
  if (!counting_factors.empty()) {
    const auto [least, most] = std::minmax_element(counting_factors.begin(), counting_factors.end());
    sentence += fmt::format(" (by {} to {})", format_factor(*least), format_factor(*most));
  }
  sentence += fmt::format(", {} on {}", legend_of(quick.name), quick_wins);
  if (!answer.open.empty()) sentence += fmt::format("; {} undecided", answer.open.size());
  answer.answer = sentence + ".";
}

void race_grid(const ProgramGrid& grid, const TableGrid& quick, const TableGrid& counting, Look look,
               ProgramAnswer& answer) {
  if (quick.rows.empty()) return;
  const NoiseModel noise;
  answer.basis = basis_text(grid.repeats(), noise, look);
  answer.question = fmt::format("From which length is {} faster than {}, per value range?", legend_of(counting.name),
                                legend_of(quick.name));
  answer.table.header = {"k", "crossover n", "interval", fmt::format("{}/{} first", counting.name, quick.name), "last"};
  answer.table.numeric = {true, true, true, true, true};
  answer.legend = "crossover: where the time ratio crosses 1, interpolated between the grid's lengths";
  std::vector<std::string> everywhere, nowhere, crossings;
  for (std::size_t c = 0; c < quick.columns.size(); ++c) {
    std::vector<Decision> rows;
    std::vector<double> lengths;
    std::vector<std::string> length_labels;  // as the table names them
    for (std::size_t r = 0; r < quick.rows.size(); ++r) {
      const auto row = counting.row_index(quick.rows[r]);
      const auto column = counting.column_index(quick.columns[c]);
      if (!row || !column || quick.cell(r, c).empty()) continue;
      rows.push_back(decide(paired_ratios(counting.cell(*row, *column), quick.cell(r, c)), noise, look));
      lengths.push_back(std::stod(quick.rows[r]));
      length_labels.push_back(quick.rows[r]);
    }
    if (rows.empty()) continue;
    // The first length from which counting sort stays faster in the medians.
    std::size_t from = rows.size();
    while (from > 0 && rows[from - 1].ratio < 1.0) --from;
    std::string at, interval = "-";
    const std::string k = quick.columns[c];
    if (from == 0) {
      at = "every length";
      everywhere.push_back(k);
      if (!rows.front().decided()) note_open(answer, "k = " + k, "at n = " + length_labels.front(), rows.front());
    } else if (from == rows.size()) {
      at = "no length";
      nowhere.push_back(k);
      if (!rows.back().decided()) note_open(answer, "k = " + k, "at n = " + length_labels.back(), rows.back());
    } else {
      const Decision& before = rows[from - 1];
      const Decision& after = rows[from];
      const double n = crossing(lengths[from - 1], before.ratio, lengths[from], after.ratio);
      const double early = crossing(lengths[from - 1], before.low, lengths[from], after.low);
      const double late = crossing(lengths[from - 1], before.high, lengths[from], after.high);
      at = length_text(n);
      interval = fmt::format("{}–{}", length_text(std::min(early, late)), length_text(std::max(early, late)));
      crossings.push_back(fmt::format("k = {} from about n = {}", k, at));
      // The crossover stands on the two lengths around it: each undecided one is open.
      for (const std::size_t row : {from - 1, from}) {
        if (!rows[row].decided()) {
          note_open(answer, "k = " + k, fmt::format("the crossover near n = {}, at n = {}", at, length_labels[row]),
                    rows[row]);
        }
      }
    }
    answer.table.rows.push_back({k, at, interval, format_factor(rows.front().ratio), format_factor(rows.back().ratio)});
  }
  std::vector<std::string> parts;
  if (!everywhere.empty())
    parts.push_back(fmt::format("at every length of the grid for k = {}", fmt::join(everywhere, ", ")));
  parts.insert(parts.end(), crossings.begin(), crossings.end());
  if (!nowhere.empty()) parts.push_back(fmt::format("at no length of the grid for k = {}", fmt::join(nowhere, ", ")));
  answer.answer =
      fmt::format("{} is faster than {} {}", legend_of(counting.name), legend_of(quick.name), fmt::join(parts, "; "));
  // A range whose answer hangs on an undecided cell says so here, not only below the table.
  if (!answer.open.empty()) answer.answer += fmt::format(" (not yet decided for {})", undecided_rows(answer));
  answer.answer += ".";
}

}  // namespace analysis::answers
