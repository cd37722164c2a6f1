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

// One value range of the grid: per length both sorts measured, the
// decision on counting sort's time over quicksort's.
struct RangeRace {
  std::string k;
  std::vector<Decision> decisions;
  std::vector<double> lengths;
  std::vector<std::string> length_labels;  // as the table names them
  bool disturbed = false;                  // a window of the range lost the processor to other work
};

RangeRace race_range(const TableGrid& quick, const TableGrid& counting, std::size_t c, const NoiseModel& noise,
                     Look look) {
  RangeRace race;
  race.k = quick.columns[c];
  const auto column = counting.column_index(quick.columns[c]);
  for (std::size_t r = 0; r < quick.rows.size(); ++r) {
    const auto row = counting.row_index(quick.rows[r]);
    if (!row || !column || quick.cell(r, c).empty()) continue;
    race.decisions.push_back(decide_cells(counting.cell(*row, *column), quick.cell(r, c), noise, look));
    race.disturbed = race.disturbed || any_disturbed(counting.cell(*row, *column)) || any_disturbed(quick.cell(r, c));
    race.lengths.push_back(std::stod(quick.rows[r]));
    race.length_labels.push_back(quick.rows[r]);
  }
  return race;
}

// The first length from which counting sort stays faster in the medians:
// 0 at every length, the number of lengths at none.
struct Crossover {
  std::size_t from = 0;
  std::string at;              // "every length", "no length" or the interpolated length
  std::string interval = "-";  // of the interpolated length
};

// The range's crossover, with each undecided length it stands on noted as open.
Crossover find_crossover(const RangeRace& race, ProgramAnswer& answer) {
  const std::vector<Decision>& rows = race.decisions;
  Crossover crossover;
  crossover.from = rows.size();
  while (crossover.from > 0 && rows[crossover.from - 1].ratio < 1.0) --crossover.from;
  const std::size_t from = crossover.from;
  const std::string where = "k = " + race.k;
  if (from == 0) {
    crossover.at = "every length";
    if (!rows.front().decided()) note_open(answer, where, "at n = " + race.length_labels.front(), rows.front());
    return crossover;
  }
  if (from == rows.size()) {
    crossover.at = "no length";
    if (!rows.back().decided()) note_open(answer, where, "at n = " + race.length_labels.back(), rows.back());
    return crossover;
  }
  const Decision& before = rows[from - 1];
  const Decision& after = rows[from];
  const std::vector<double>& n = race.lengths;
  const double early = crossing(n[from - 1], before.low, n[from], after.low);
  const double late = crossing(n[from - 1], before.high, n[from], after.high);
  crossover.at = length_text(crossing(n[from - 1], before.ratio, n[from], after.ratio));
  crossover.interval = fmt::format("{}–{}", length_text(std::min(early, late)), length_text(std::max(early, late)));
  // The crossover stands on the two lengths around it: each undecided one is open.
  for (const std::size_t row : {from - 1, from}) {
    if (!rows[row].decided()) {
      note_open(answer, where,
                fmt::format("the crossover near n = {}, at n = {}", crossover.at, race.length_labels[row]), rows[row]);
    }
  }
  return crossover;
}

}  // namespace

void race_inputs(const ProgramGrid& grid, const TableGrid& quick, const TableGrid& counting, Look look,
                 ProgramAnswer& answer) {
  const NoiseModel noise = noise_model(grid);
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
    const Decision d = decide_cells(counting.cell(*row, *column), quick.cell(r, c), noise, look);
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
                                 d.decided()   ? "yes" + disturbed_mark(any_disturbed(quick.cell(r, c)) ||
                                                                        any_disturbed(counting.cell(*row, *column)))
                                 : d.disturbed ? "no, disturbed"
                                               : "no, " + runs_needed_text(d.runs_needed)});
  }
  std::string sentence = fmt::format("{} is faster on {} of {} inputs", legend_of(counting.name), counting_wins, input);
  if (!counting_factors.empty()) {
    const auto [least, most] = std::minmax_element(counting_factors.begin(), counting_factors.end());
    sentence += fmt::format(" (by {} to {})", format_factor(*least), format_factor(*most));
  }
  sentence += fmt::format(", {} on {}", legend_of(quick.name), quick_wins);
  if (!answer.open.empty()) {
    const auto disturbed =
        std::count_if(answer.open.begin(), answer.open.end(), [](const OpenQuestion& q) { return q.disturbed; });
    sentence += fmt::format("; {} undecided", answer.open.size());
    if (disturbed > 0) sentence += fmt::format(" ({} disturbed)", disturbed);
  }
  answer.answer = sentence + ".";
}

void race_grid(const ProgramGrid& grid, const TableGrid& quick, const TableGrid& counting, Look look,
               ProgramAnswer& answer) {
  if (quick.rows.empty()) return;
  const NoiseModel noise = noise_model(grid);
  answer.basis = basis_text(grid.repeats(), noise, look);
  answer.question = fmt::format("From which length is {} faster than {}, per value range?", legend_of(counting.name),
                                legend_of(quick.name));
  answer.table.header = {"k", "crossover n", "interval", fmt::format("{}/{} first", counting.name, quick.name), "last"};
  answer.table.numeric = {true, true, true, true, true};
  answer.legend = "crossover: where the time ratio crosses 1, interpolated between the grid's lengths";
  std::vector<std::string> everywhere, nowhere, crossings;
  for (std::size_t c = 0; c < quick.columns.size(); ++c) {
    const RangeRace race = race_range(quick, counting, c, noise, look);
    if (race.decisions.empty()) continue;
    const Crossover crossover = find_crossover(race, answer);
    if (crossover.from == 0) {
      everywhere.push_back(race.k);
    } else if (crossover.from == race.decisions.size()) {
      nowhere.push_back(race.k);
    } else {
      crossings.push_back(fmt::format("k = {} from about n = {}", race.k, crossover.at));
    }
    answer.table.rows.push_back({race.k + disturbed_mark(race.disturbed), crossover.at, crossover.interval,
                                 format_factor(race.decisions.front().ratio),
                                 format_factor(race.decisions.back().ratio)});
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
