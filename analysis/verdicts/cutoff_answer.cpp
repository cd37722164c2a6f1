// cutoffwide and cutoffnarrow: whether the cutoff pays, and which one.
#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "analysis/records/kernel_series.hpp"
#include "analysis/text/text_format.hpp"
#include "analysis/verdicts/answer_parts.hpp"

namespace analysis::answers {

namespace {

// The spread of a length's recursive quicksort cells: every column of that
// row sorts the same kind of data the same way, so their scatter is noise.
std::optional<NoiseModel> row_noise(const TableGrid& baseline, std::size_t row) {
  std::vector<double> logs;
  for (std::size_t c = 0; c < baseline.columns.size(); ++c) {
    if (!baseline.cell(row, c).empty()) logs.push_back(std::log(median_nanoseconds(baseline.cell(row, c))));
  }
  if (logs.size() < 3) return std::nullopt;
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

// One length: the best cutoff's gain over the recursive quicksort, the
// cutoffs not told apart from the best and, where the data support one, a
// fitted optimum.
struct LengthWeighed {
  double gain = 0;
  std::vector<double> plateau;  // ascending, the best among them
  std::vector<std::string> row;
};

std::optional<LengthWeighed> weigh_length(const TableGrid& recursive, std::size_t base_row, const TableGrid& combined,
                                          std::size_t r, const NoiseModel& noise, Look look, ProgramAnswer& answer) {
  std::vector<std::pair<double, std::size_t>> by_time;
  std::vector<double> xs, ys;
  for (std::size_t c = 0; c < combined.columns.size(); ++c) {
    if (combined.cell(r, c).empty()) continue;
    by_time.emplace_back(median_nanoseconds(combined.cell(r, c)), c);
    xs.push_back(std::stod(combined.columns[c]));
    ys.push_back(std::log(by_time.back().first));
  }
  if (by_time.empty()) return std::nullopt;
  const std::size_t best = std::min_element(by_time.begin(), by_time.end())->second;
  const Samples& best_cell = combined.cell(r, best);
  const Decision gain = decide_cells(best_cell, recursive.cell(base_row, best), noise, look);
  if (!gain.decided())
    note_open(answer, "n = " + combined.rows[r], "the gain of cutoff " + combined.columns[best], gain);
  LengthWeighed weighed;
  weighed.gain = 1.0 - gain.ratio;
  std::vector<double>& plateau = weighed.plateau;
  for (const auto& [time, c] : by_time) {
    if (c == best || !decide_cells(combined.cell(r, c), best_cell, noise, look).decided()) {
      plateau.push_back(std::stod(combined.columns[c]));
    }
  }
  std::sort(plateau.begin(), plateau.end());
  const std::string within = fmt::format("{:g} to {:g}", plateau.front(), plateau.back());
  std::string optimum = plateau.size() == 1 ? "-" : "flat from " + within;
  // One run's cells put one wobble each on the parabola, which its stated
  // error cannot see: independent one-run studies fitted optima far apart
  // on a length that more runs find flat. The fit waits for two runs.
  const bool repeated = best_cell.size() > 1;
  if (const auto fit = repeated ? fitted_optimum(xs, ys, noise.cell_spread * std::sqrt(2.0)) : std::nullopt) {
    optimum = fmt::format("{:.1f} ±{:.1f}", fit->first, fit->second);
  }
  bool disturbed = any_disturbed(recursive.cell(base_row, best));
  for (std::size_t c = 0; c < combined.columns.size(); ++c) disturbed = disturbed || any_disturbed(combined.cell(r, c));
  weighed.row = {combined.rows[r] + disturbed_mark(disturbed),
                 format_percent(1.0 - gain.ratio),
                 format_percent_range(1.0 - gain.high, 1.0 - gain.low),
                 combined.columns[best],
                 plateau.size() == 1 ? "-" : within,
                 optimum};
  return weighed;
}

// "; which cutoff hardly matters at 5 of 5 lengths (within noise of the
// best at each: 3 to 9)": the cutoffs within noise of the best at every
// length with a plateau, else the span of them all.
std::string plateau_clause(const std::vector<std::pair<double, double>>& plateaus, std::size_t lengths) {
  if (plateaus.empty()) return "";
  double common_low = 0, common_high = INFINITY, low = INFINITY, high = 0;
  for (const auto& [from, to] : plateaus) {
    common_low = std::max(common_low, from);
    common_high = std::min(common_high, to);
    low = std::min(low, from);
    high = std::max(high, to);
  }
  return fmt::format("; which cutoff hardly matters at {} of {} lengths", plateaus.size(), lengths) +
         (common_low <= common_high
              ? fmt::format(" (within noise of the best at each: {:g} to {:g})", common_low, common_high)
              : fmt::format(" (within noise of the best: from {:g} to {:g})", low, high));
}

}  // namespace

void weigh_cutoffs(const ProgramGrid& grid, const TableGrid& recursive, const TableGrid& combined, Look look,
                   ProgramAnswer& answer) {
  answer.question = "Does the insertion-sort cutoff pay, and which cutoff is best?";
  answer.table.header = {"n", "gain", "interval", "best", "within noise", "optimum"};
  answer.table.numeric = {true, true, true, true, false, false};
  answer.legend = fmt::format(
      "gain: of the best cutoff over {} on the same data; within noise: the cutoffs not told apart from the best",
      recursive.name);
  if (grid.repeats() < 2) answer.legend += "; optimum: fitted from two runs on";
  std::string noise_source;
  std::vector<double> gains;
  std::vector<std::pair<double, double>> plateaus;  // per length with several: lowest and highest cutoff
  for (std::size_t r = 0; r < combined.rows.size(); ++r) {
    const auto base_row = recursive.row_index(combined.rows[r]);
    if (!base_row) continue;
    const NoiseModel noise = noise_model(grid, row_noise(recursive, *base_row));
    noise_source = noise.source;
    std::optional<LengthWeighed> weighed = weigh_length(recursive, *base_row, combined, r, noise, look, answer);
    if (!weighed) continue;
    gains.push_back(weighed->gain);
    if (weighed->plateau.size() > 1) plateaus.emplace_back(weighed->plateau.front(), weighed->plateau.back());
    answer.table.rows.push_back(std::move(weighed->row));
  }
  answer.basis =
      basis_text(grid.repeats(),
                 NoiseModel{kPriorCellSpread, noise_source.empty() ? noise_model(grid).source : noise_source}, look);
  if (gains.empty()) return;
  const auto [least, most] = std::minmax_element(gains.begin(), gains.end());
  if (answer.open_rows().size() == gains.size()) {
    // Gains seen but none decided: no claim that the cutoff pays.
    answer.answer = fmt::format("The cutoff's gain over {}, {} to {}, is not yet decided at any length",
                                legend_of(recursive.name), format_percent(*least), format_percent(*most));
  } else {
    answer.answer = fmt::format("The cutoff pays {} to {} over {}", format_percent(*least), format_percent(*most),
                                legend_of(recursive.name));
    if (!answer.open.empty()) answer.answer += fmt::format(" (not yet decided at {})", undecided_rows(answer));
  }
  answer.answer += plateau_clause(plateaus, gains.size()) + ".";
}

}  // namespace analysis::answers
