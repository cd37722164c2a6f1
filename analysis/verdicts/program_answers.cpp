#include "analysis/verdicts/program_answers.hpp"

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

namespace analysis {

namespace {

using Samples = std::vector<Sample>;

// numerator / denominator per run both measured: the two sorts of a cell
// (or of a row) timed the same data in that run.
std::vector<double> paired_ratios(const Samples& numerator, const Samples& denominator) {
  std::map<int, double> bottom;
  for (const Sample& s : denominator) bottom[s.repeat] = positive_time(static_cast<double>(s.nanoseconds));
  std::vector<double> ratios;
  for (const Sample& s : numerator) {
    const auto found = bottom.find(s.repeat);
    if (found != bottom.end()) ratios.push_back(positive_time(static_cast<double>(s.nanoseconds)) / found->second);
  }
  return ratios;
}

double median_nanoseconds(const Samples& samples) { return positive_time(cell_statistics(samples).median); }

std::string legend_of(const std::string& kernel) {
  const std::string_view legend = kit::kernel_legend(kernel);
  return legend.empty() ? kernel : std::string(legend);
}

std::string basis_text(std::size_t runs, const NoiseModel& noise, Look look) {
  const std::string level = fmt::format("{:.3g} %", 100.0 * (1.0 - look.level()));
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

void note_open(ProgramAnswer& answer, std::string what, const Decision& decision) {
  answer.open.push_back(OpenQuestion{std::move(what), decision.runs_needed});
}

std::string factor_interval(const Decision& d, bool inverted) {
  const double low = inverted ? 1.0 / d.high : d.low;
  const double high = inverted ? 1.0 / d.low : d.high;
  return fmt::format("{}–{}", format_factor(low, FactorForm::interval), format_factor(high, FactorForm::interval));
}

// ----- smallsix, smallfive: the sorts ranked per length -----

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

// ----- tallyduel and tallygrid: two sorts raced on the same data -----

struct Raced {
  const TableGrid* first = nullptr;   // quicksort
  const TableGrid* second = nullptr;  // counting sort
  std::vector<TableGrid> series;
};

Raced raced_series(const ProgramGrid& grid) {
  Raced raced{nullptr, nullptr, kernel_series(grid)};
  if (raced.series.size() >= 2) {
    raced.first = &raced.series[0];
    raced.second = &raced.series[1];
  }
  return raced;
}

void race_inputs(const ProgramGrid& grid, Look look, ProgramAnswer& answer) {
  const Raced raced = raced_series(grid);
  if (!raced.first) return;
  const TableGrid& quick = *raced.first;
  const TableGrid& counting = *raced.second;
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
      note_open(answer, fmt::format("input {} (n = {}, k = {})", input, quick.rows[r], quick.columns[c]), d);
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

// Where log(ratio) crosses 0 between two lengths, on log length.
double crossing(double n0, double ratio0, double n1, double ratio1) {
  const double l0 = std::log(ratio0), l1 = std::log(ratio1);
  if (l0 == l1) return n1;
  const double t = std::clamp(l0 / (l0 - l1), 0.0, 1.0);
  return std::exp(std::log(n0) + t * (std::log(n1) - std::log(n0)));
}

std::string length_text(double n) { return with_thousands(static_cast<std::int64_t>(std::llround(n))); }

void race_grid(const ProgramGrid& grid, Look look, ProgramAnswer& answer) {
  const Raced raced = raced_series(grid);
  if (!raced.first || raced.first->rows.empty()) return;
  const TableGrid& quick = *raced.first;
  const TableGrid& counting = *raced.second;
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
    for (std::size_t r = 0; r < quick.rows.size(); ++r) {
      const auto row = counting.row_index(quick.rows[r]);
      const auto column = counting.column_index(quick.columns[c]);
      if (!row || !column || quick.cell(r, c).empty()) continue;
      rows.push_back(decide(paired_ratios(counting.cell(*row, *column), quick.cell(r, c)), noise, look));
      lengths.push_back(std::stod(quick.rows[r]));
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
      if (!rows.front().decided())
        note_open(answer, fmt::format("k = {}: at n = {}", k, quick.rows.front()), rows.front());
    } else if (from == rows.size()) {
      at = "no length";
      nowhere.push_back(k);
      if (!rows.back().decided())
        note_open(answer, fmt::format("k = {}: at n = {}", k, quick.rows.back()), rows.back());
    } else {
      const Decision& before = rows[from - 1];
      const Decision& after = rows[from];
      const double n = crossing(lengths[from - 1], before.ratio, lengths[from], after.ratio);
      const double early = crossing(lengths[from - 1], before.low, lengths[from], after.low);
      const double late = crossing(lengths[from - 1], before.high, lengths[from], after.high);
      at = length_text(n);
      interval = fmt::format("{}–{}", length_text(std::min(early, late)), length_text(std::max(early, late)));
      crossings.push_back(fmt::format("k = {} from about n = {}", k, at));
      for (const Decision* d : {&before, &after}) {
        if (!d->decided()) note_open(answer, fmt::format("k = {}: the crossover near n = {}", k, at), *d);
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
      fmt::format("{} is faster than {} {}.", legend_of(counting.name), legend_of(quick.name), fmt::join(parts, "; "));
}

// ----- cutoffwide, cutoffnarrow: which cutoff, and does it matter -----

// The spread of a length's recursive quicksort cells: every column of that
// row sorts the same kind of data the same way, so their scatter is noise.
NoiseModel row_noise(const TableGrid& baseline, std::size_t row) {
  std::vector<double> logs;
  for (std::size_t c = 0; c < baseline.columns.size(); ++c) {
    if (!baseline.cell(row, c).empty()) logs.push_back(std::log(median_nanoseconds(baseline.cell(row, c))));
  }
  if (logs.size() < 3) return NoiseModel{};
  double mean = 0;
  for (const double l : logs) mean += l / static_cast<double>(logs.size());
  double squares = 0;
  for (const double l : logs) squares += (l - mean) * (l - mean);
  const double spread = std::max(std::sqrt(squares / static_cast<double>(logs.size() - 1)), kLeastCellSpread);
  return NoiseModel{spread, fmt::format("the spread of the length's {} cells", baseline.name)};
}

// The cutoff at the vertex of a parabola through log time, when it opens
// upward clearly and lies inside the cutoffs measured.
std::optional<std::pair<double, double>> fitted_optimum(const std::vector<double>& x, const std::vector<double>& y,
                                                        double spread) {
  const std::size_t n = x.size();
  if (n < 4) return std::nullopt;
  // Least squares of y = a + b x + c x^2 on centred x.
  double mx = 0;
  for (const double v : x) mx += v / static_cast<double>(n);
  double s[5] = {0, 0, 0, 0, 0}, t[3] = {0, 0, 0};
  for (std::size_t i = 0; i < n; ++i) {
    const double u = x[i] - mx;
    double p = 1;
    for (int k = 0; k < 5; ++k, p *= u) s[k] += p;
    t[0] += y[i];
    t[1] += u * y[i];
    t[2] += u * u * y[i];
  }
  // Solve the 3x3 normal equations by Cramer's rule.
  const auto det3 = [](double a, double b, double c, double d, double e, double f, double g, double h, double i) {
    return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
  };
  const double det = det3(s[0], s[1], s[2], s[1], s[2], s[3], s[2], s[3], s[4]);
  if (std::fabs(det) < 1e-12) return std::nullopt;
  const double b = det3(s[0], t[0], s[2], s[1], t[1], s[3], s[2], t[2], s[4]) / det;
  const double c = det3(s[0], s[1], t[0], s[1], s[2], t[1], s[2], s[3], t[2]) / det;
  // The curvature's standard error at the noise's spread: c is a linear
  // combination of the y, its variance spread^2 times the (3,3) cofactor / det.
  const double cofactor = s[0] * s[2] - s[1] * s[1];
  const double c_error = spread * std::sqrt(std::max(cofactor / det, 0.0));
  if (c <= 3.0 * c_error) return std::nullopt;
  const double vertex = -b / (2.0 * c);
  if (vertex + mx < x.front() || vertex + mx > x.back()) return std::nullopt;
  // The vertex's error by the delta method, from b's and c's errors alone.
  const double b_error = spread * std::sqrt(std::max((s[0] * s[4] - s[2] * s[2]) / det, 0.0));
  const double error = std::sqrt(std::pow(b_error / (2 * c), 2) + std::pow(b * c_error / (2 * c * c), 2));
  return std::pair{vertex + mx, 2.0 * error};
}

void weigh_cutoffs(const ProgramGrid& grid, Look look, ProgramAnswer& answer) {
  const Raced raced = raced_series(grid);
  if (!raced.first) return;
  const TableGrid& recursive = *raced.first;
  const TableGrid& combined = *raced.second;
  answer.question = "Does the insertion-sort cutoff pay, and which cutoff is best?";
  answer.table.header = {"n", "gain", "interval", "best", "within noise", "optimum"};
  answer.table.numeric = {true, true, true, true, false, false};
  answer.legend = fmt::format(
      "gain: of the best cutoff over {} on the same data; within noise: the cutoffs not told apart from the best",
      recursive.name);
  std::string noise_source;
  std::vector<double> gains;
  std::vector<std::string> plateaus;
  for (std::size_t r = 0; r < combined.rows.size(); ++r) {
    const auto base_row = recursive.row_index(combined.rows[r]);
    if (!base_row) continue;
    const NoiseModel noise = row_noise(recursive, *base_row);
    noise_source = noise.source;
    std::vector<std::pair<double, std::size_t>> by_time;
    std::vector<double> xs, ys;
    for (std::size_t c = 0; c < combined.columns.size(); ++c) {
      if (combined.cell(r, c).empty()) continue;
      by_time.emplace_back(median_nanoseconds(combined.cell(r, c)), c);
      xs.push_back(std::stod(combined.columns[c]));
      ys.push_back(std::log(by_time.back().first));
    }
    if (by_time.empty()) continue;
    const std::size_t best = std::min_element(by_time.begin(), by_time.end())->second;
    const Samples& best_cell = combined.cell(r, best);
    const Decision gain = decide(paired_ratios(best_cell, recursive.cell(*base_row, best)), noise, look);
    if (!gain.decided())
      note_open(answer, fmt::format("n = {}: the gain of cutoff {}", combined.rows[r], combined.columns[best]), gain);
    gains.push_back(1.0 - gain.ratio);
    std::vector<double> plateau;
    for (const auto& [time, c] : by_time) {
      if (c == best || !decide(paired_ratios(combined.cell(r, c), best_cell), noise, look).decided()) {
        plateau.push_back(std::stod(combined.columns[c]));
      }
    }
    std::sort(plateau.begin(), plateau.end());
    const std::string within =
        plateau.size() == 1 ? "only the best" : fmt::format("{:g} to {:g}", plateau.front(), plateau.back());
    std::string optimum = "flat from " + within;
    if (plateau.size() == 1) optimum = "-";
    if (const auto fit = fitted_optimum(xs, ys, noise.cell_spread * std::sqrt(2.0))) {
      optimum = fmt::format("{:.1f} ±{:.1f}", fit->first, fit->second);
    }
    if (plateau.size() > 1) plateaus.push_back(within);
    answer.table.rows.push_back({combined.rows[r], format_percent(1.0 - gain.ratio),
                                 format_percent_range(1.0 - gain.high, 1.0 - gain.low), combined.columns[best],
                                 plateau.size() == 1 ? "-" : within, optimum});
  }
  answer.basis = basis_text(
      grid.repeats(), NoiseModel{kPriorCellSpread, noise_source.empty() ? NoiseModel{}.source : noise_source}, look);
  if (gains.empty()) return;
  const auto [least, most] = std::minmax_element(gains.begin(), gains.end());
  answer.answer = fmt::format("The cutoff pays {} to {} over {}", format_percent(*least), format_percent(*most),
                              legend_of(recursive.name));
  if (!plateaus.empty()) {
    answer.answer += fmt::format("; which cutoff hardly matters at {} of {} lengths (within noise: {})",
                                 plateaus.size(), gains.size(), plateaus.front());
  }
  answer.answer += ".";
}

}  // namespace

std::string runs_needed_text(const std::optional<std::size_t>& runs) {
  if (!runs) return fmt::format("more than {} runs", kMostRunsWorthAsking);
  return fmt::format("about {} runs", *runs);
}

ProgramAnswer program_answer(const ProgramGrid& grid, Look look) {
  ProgramAnswer answer;
  answer.program = grid.program;
  answer.runs = grid.repeats();
  for (const RunSummary& run : grid.incomplete_runs) answer.left_out.push_back(run_description(run));
  if (grid.repeats() == 0) {
    answer.answer = "No complete run.";
    return answer;
  }
  if (grid.facts == nullptr) {
    answer.answer = "A program the suite does not know: no question to answer.";
    return answer;
  }
  switch (grid.facts->kind()) {
    case ProgramKind::small_arrays:
      rank_small_arrays(grid, look, answer);
      break;
    case ProgramKind::file_duel:
      race_inputs(grid, look, answer);
      break;
    case ProgramKind::grid_duel:
      race_grid(grid, look, answer);
      break;
    case ProgramKind::cutoff:
      weigh_cutoffs(grid, look, answer);
      break;
  }
  // A sentence, even when it opens with a sort's name in lower case.
  if (!answer.answer.empty() && answer.answer[0] >= 'a' && answer.answer[0] <= 'z') answer.answer[0] -= 'a' - 'A';
  return answer;
}

std::vector<ProgramAnswer> program_answers(const RunModel& model, Look look) {
  std::vector<ProgramAnswer> answers;
  for (const ProgramGrid& grid : model.programs) answers.push_back(program_answer(grid, look));
  return answers;
}

}  // namespace analysis
