#include "study/estimate/time_estimate.hpp"

#include <algorithm>

#include "analysis/text/text_format.hpp"

namespace study {
namespace {

// How far one step's time strays from the model: a share of it (the load of
// the machine comes and goes) and a fixed part (a progress line waits for
// the scheduler), in seconds.
constexpr double kStepSpread = 0.2;
constexpr double kLineDelay = 0.01;
// How far apart the factors of a step's two parts may be before the steps
// timed so far must show it: a share of their common value.
constexpr double kPartsSpread = 2.0;
// The pace against an earlier run is damped by this share of that run's
// time, so the start of a run (process start, memory) does not set it alone.
constexpr double kPaceDamping = 0.02;
// This run's own steps gain weight against an earlier run's as the square
// of share / (share + kOwnStepsWeight), the share of the earlier run's time
// done: a few early steps barely move it, the second half of a run mostly
// counts its own.
constexpr double kOwnStepsWeight = 0.1;

double squared(double x) { return x * x; }

// The seconds of a stretch of steps and their cost: step counts the
// program printed together were never seen on their own.
struct Observation {
  StepCost cost;
  double seconds = 0;
};

std::vector<Observation> observations(const ProgramCost& cost, const std::vector<double>& at_step, int steps,
                                      double reached) {
  std::vector<Observation> seen;
  StepCost pending = cost.start;
  double before = 0;
  for (int s = 1; s <= steps; ++s) {
    pending.n_log_n += cost.steps[static_cast<std::size_t>(s - 1)].n_log_n;
    pending.other += cost.steps[static_cast<std::size_t>(s - 1)].other;
    const auto index = static_cast<std::size_t>(s);
    const double at = s == steps ? reached : index < at_step.size() ? at_step[index] : -1.0;
    if (at < 0) continue;
    seen.push_back({pending, std::max(at - before, 0.0)});
    before = at;
    pending = {};
  }
  return seen;
}

// Seconds per nominal second of each part of a step.
struct Pace {
  double n_log_n = 0;
  double other = 0;
  double of(const StepCost& cost) const { return n_log_n * cost.n_log_n + other * cost.other; }
};

// Least squares over the stretches, each weighed by how far its time may
// stray, with the two factors drawn together: a part the steps so far say
// little about keeps the common pace.
std::optional<Pace> fit_pace(const std::vector<Observation>& seen) {
  double cost = 0, seconds = 0;
  for (const Observation& stretch : seen) {
    cost += stretch.cost.total();
    seconds += stretch.seconds;
  }
  if (cost <= 0 || seconds <= 0) return std::nullopt;
  const double common = seconds / cost;
  double aa = 0, ab = 0, bb = 0, ad = 0, bd = 0;
  for (const Observation& stretch : seen) {
    const double a = stretch.cost.n_log_n, b = stretch.cost.other, d = stretch.seconds;
    const double weight = 1 / (squared(kStepSpread * common * (a + b)) + squared(kLineDelay));
    aa += weight * a * a;
    ab += weight * a * b;
    bb += weight * b * b;
    ad += weight * a * d;
    bd += weight * b * d;
  }
  const double pull = 1 / squared(kPartsSpread * common);
  const double m11 = aa + pull, m12 = ab - pull, m22 = bb + pull;
  const double determinant = m11 * m22 - m12 * m12;
  const Pace fitted{(ad * m22 - m12 * bd) / determinant, (m11 * bd - m12 * ad) / determinant};
  if (!(determinant > 0 && fitted.n_log_n > 0 && fitted.other > 0)) return Pace{common, common};
  return fitted;
}

// Seconds into `run` when `steps` were done: as seen, else between the
// nearest seen step counts in proportion to the model's cost.
double time_at(const Timeline& run, const ProgramCost& cost, int steps) {
  const int total = static_cast<int>(cost.steps.size());
  const auto seen = [&](int s) {
    const auto index = static_cast<std::size_t>(s);
    return index < run.at_step.size() && run.at_step[index] >= 0;
  };
  if (seen(steps)) return run.at_step[static_cast<std::size_t>(steps)];
  int low = steps, high = steps;
  while (low > 0 && !seen(low)) --low;
  while (high < total && !seen(high)) ++high;
  const double low_time = seen(low) ? run.at_step[static_cast<std::size_t>(low)] : 0.0;
  const double high_time = seen(high) ? run.at_step[static_cast<std::size_t>(high)] : run.whole;
  const double span = cost_through(cost, high) - cost_through(cost, low);
  if (span <= 0) return low_time;
  return low_time + (high_time - low_time) * (cost_through(cost, steps) - cost_through(cost, low)) / span;
}

}  // namespace

void TimeEstimate::note_earlier_run(const analysis::SuiteProgram& program, Timeline timeline) {
  earlier_[std::string(program.name)] = std::move(timeline);
}

void TimeEstimate::start_run() { current_.clear(); }

void TimeEstimate::note_step(int steps, double elapsed) {
  if (steps < 0) return;
  const auto step = static_cast<std::size_t>(steps);
  if (current_.size() <= step) current_.resize(step + 1, -1.0);
  if (current_[step] < 0) current_[step] = elapsed;
}

void TimeEstimate::note_run(const analysis::SuiteProgram& program, double seconds) {
  const ProgramCost cost = program_cost(program);
  const Timeline seen{seconds, std::move(current_)};
  Timeline filled{seconds, {}};
  for (int s = 0; s <= static_cast<int>(cost.steps.size()); ++s) filled.at_step.push_back(time_at(seen, cost, s));
  runs_[std::string(program.name)] = std::move(filled);
  current_.clear();
}

const Timeline* TimeEstimate::earlier_run(std::string_view program) const {
  for (const Timelines* runs : {&runs_, &earlier_}) {
    if (const auto found = runs->find(program); found != runs->end()) return &found->second;
  }
  return nullptr;
}

std::optional<double> TimeEstimate::whole_run(const analysis::SuiteProgram& program) const {
  const Timeline* earlier = earlier_run(program.name);
  if (earlier == nullptr) return std::nullopt;
  return earlier->whole;
}

std::optional<double> TimeEstimate::modelled_run(const analysis::SuiteProgram& program,
                                                 const analysis::SuiteProgram& running, int steps,
                                                 double elapsed) const {
  // Seconds per nominal second over all the study timed.
  double seconds = 0, nominal = 0;
  for (const auto& [name, run] : runs_) {
    if (const analysis::SuiteProgram* seen = analysis::find_suite_program(name)) {
      seconds += run.whole;
      nominal += cost_through(program_cost(*seen), seen->progress_steps);
    }
  }
  if (steps > 0) {
    seconds += elapsed;
    nominal += cost_through(program_cost(running), steps);
  }
  if (seconds <= 0 || nominal <= 0) return std::nullopt;
  return seconds / nominal * cost_through(program_cost(program), program.progress_steps);
}

std::optional<double> TimeEstimate::rest_of_run(const analysis::SuiteProgram& program, int steps,
                                                double elapsed) const {
  const ProgramCost cost = program_cost(program);
  const int total = static_cast<int>(cost.steps.size());
  steps = std::clamp(steps, 0, total);
  const auto index = static_cast<std::size_t>(steps);
  const double reached = index < current_.size() && current_[index] >= 0 ? current_[index] : elapsed;
  // The running step has already had this long.
  const double in_step = std::max(elapsed - reached, 0.0);

  std::optional<double> own;
  if (steps > 0) {
    if (const std::optional<Pace> pace = fit_pace(observations(cost, current_, steps, reached))) {
      double rest = 0;
      for (int s = steps + 1; s < total; ++s) rest += pace->of(cost.steps[static_cast<std::size_t>(s)]);
      if (steps < total) rest += std::max(pace->of(cost.steps[index]) - in_step, 0.0);
      own = rest;
    }
  }

  const Timeline* earlier = earlier_run(program.name);
  if (earlier == nullptr || earlier->whole <= 0) return own;
  const double then = time_at(*earlier, cost, steps);
  const double next = time_at(*earlier, cost, std::min(steps + 1, total));
  const double damping = kPaceDamping * earlier->whole;
  const double pace = (reached + damping) / (then + damping);
  const double followed = pace * (earlier->whole - next) + std::max(pace * (next - then) - in_step, 0.0);
  if (!own) return std::max(followed, 0.0);
  const double share = std::clamp(then / earlier->whole, 0.0, 1.0);
  const double trust = squared(share / (share + kOwnStepsWeight));
  return std::max(trust * *own + (1 - trust) * followed, 0.0);
}

double TimeEstimate::time_share(const analysis::SuiteProgram& program, int steps, double elapsed) const {
  const std::optional<double> rest = rest_of_run(program, steps, elapsed);
  if (rest && elapsed + *rest > 0) return elapsed / (elapsed + *rest);
  return cost_share(program_cost(program), steps);
}

std::string time_left_text(double known_seconds, bool some_unknown, double modelled) {
  std::string text = (some_unknown ? "at least " : "about ") + analysis::clock_text(known_seconds) + " left";
  if (!some_unknown && modelled > 0) text += " (\u00b1" + analysis::clock_text(kModelledSpread * modelled) + ")";
  return text;
}

}  // namespace study
