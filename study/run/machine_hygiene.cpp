#include "study/run/machine_hygiene.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "analysis/text/text_format.hpp"
#include "study/os/study_lock.hpp"

namespace study {
namespace {

constexpr std::string_view kPerformance = "performance";

// What remains after `seconds` of a part of the 1-minute average.
double decay(double seconds) { return std::exp(-std::max(seconds, 0.0) / kLoadAverageSeconds); }

std::string pids_text(const std::vector<std::uint64_t>& holders) {
  std::string text = holders.size() == 1 ? "pid " : "pids ";
  for (std::size_t i = 0; i < holders.size(); ++i) text += (i > 0 ? ", " : "") + std::to_string(holders[i]);
  return text;
}

// " (load 2.67)", the load average as a witness of the other work; "" unknown.
std::string load_aside(const std::optional<os::LoadAverage>& load) {
  return load ? " (load " + analysis::fixed(load->one_minute, 2) + ")" : "";
}

std::string seconds_text(double seconds) { return fmt::format("{:.0f} s", seconds); }

}  // namespace

std::optional<double> other_work(const os::ProcessorTimes& from, const os::ProcessorTimes& to) {
  const double passed = (to.total_seconds - from.total_seconds) / std::max(to.processors, 1);
  if (!(passed > 0)) return std::nullopt;
  const double others = (to.busy_seconds - from.busy_seconds) - (to.own_seconds - from.own_seconds);
  // The counters tick coarser than the study's own time: a little below 0 is none.
  return std::max(others, 0.0) / passed;
}

std::string other_work_text(double processors) { return fmt::format("{:.0f} % of a processor", processors * 100); }

std::string load_text(const os::LoadAverage& load) {
  std::string text = analysis::fixed(load.one_minute, 2);
  if (load.five_minutes) {
    text += " (5 min " + analysis::fixed(*load.five_minutes, 2);
    if (load.fifteen_minutes) text += ", 15 min " + analysis::fixed(*load.fifteen_minutes, 2);
    text += ")";
  }
  return text;
}

void note_machine_settings(const os::MachineState& state, Context& context) {
  if (!state.governors.empty()) {
    // Each governor once, in the processors' order, with its count when they differ.
    std::vector<std::pair<std::string, int>> counts;
    for (const std::string& governor : state.governors) {
      auto same =
          std::find_if(counts.begin(), counts.end(), [&](const auto& count) { return count.first == governor; });
      if (same == counts.end()) {
        counts.emplace_back(governor, 1);
      } else {
        ++same->second;
      }
    }
    std::string text = counts.front().first;
    if (counts.size() > 1) {
      text.clear();
      for (const auto& [governor, count] : counts) {
        text += fmt::format("{}{} ({} processor{})", text.empty() ? "" : ", ", governor, count, count == 1 ? "" : "s");
      }
    }
    context.emplace_back("frequency governor", text);
  }
  if (!state.huge_pages.empty()) context.emplace_back("transparent huge pages", state.huge_pages);
}

std::vector<std::string> machine_settings_warnings(const os::MachineState& state) {
  std::vector<std::string> warnings;
  std::vector<std::string> others;
  std::size_t slow = 0;
  for (const std::string& governor : state.governors) {
    if (governor == kPerformance) continue;
    ++slow;
    if (std::find(others.begin(), others.end(), governor) == others.end()) others.push_back(governor);
  }
  if (slow > 0) {
    std::string names;
    for (const std::string& name : others) names += (names.empty() ? "" : ", ") + name;
    const std::string whose =
        slow == state.governors.size()
            ? "the processors' frequency governor is"
            : fmt::format("the frequency governor of {} of {} processors is", slow, state.governors.size());
    warnings.push_back(fmt::format(
        "{} {}, not performance: their clock follows the load, so the timings vary from run to run.", whose, names));
  }
  if (state.huge_pages == "always") {
    warnings.push_back(
        "transparent huge pages are set to always: whether the programs' arrays get huge pages varies from run to "
        "run, and their timings with it.");
  }
  return warnings;
}

std::optional<std::string> LoadWatch::before(std::string_view program, double now, double load) {
  if (noted_) own_share_ *= decay(now - noted_at_);
  noted_ = true;
  noted_at_ = now;
  load_before_ = load;
  started_at_ = now;
  if (load <= own_share_ + kLoadMargin) return std::nullopt;
  return fmt::format(
      "load {} before {} started, above the {} left by the study's earlier programs + {}: other work is running and "
      "will disturb its timings.",
      analysis::fixed(load, 2), program, analysis::fixed(own_share_, 2), analysis::fixed(kLoadMargin, 2));
}

std::optional<std::string> LoadWatch::after(std::string_view program, double now, double load) {
  if (!load_before_) return std::nullopt;
  const double remains = decay(now - started_at_);
  // The program's one task and the load before it, decayed while it ran.
  const double explained = *load_before_ * remains + (1 - remains);
  own_share_ = own_share_ * remains + (1 - remains);
  noted_at_ = now;
  load_before_.reset();
  if (load <= explained + kLoadMargin) return std::nullopt;
  return fmt::format(
      "load {} after {}, above the {} expected from the load before it and its own run + {}: other work ran beside "
      "it and disturbed its timings.",
      analysis::fixed(load, 2), program, analysis::fixed(explained, 2), analysis::fixed(kLoadMargin, 2));
}

std::vector<std::string> OtherStudies::note(const std::vector<std::uint64_t>& holders, std::string_view program) {
  std::vector<std::uint64_t> fresh;
  for (const std::uint64_t holder : holders) {
    if (seen_.insert(holder).second) fresh.push_back(holder);
  }
  if (fresh.empty()) return {};
  const bool one = fresh.size() == 1;
  const std::string who = one ? "another study" : fmt::format("{} other studies", fresh.size());
  const std::string whom = one ? "both" : "all";
  if (program.empty()) {
    return {fmt::format("{} {} running ({}): timings of {} will be disturbed.", who, one ? "is" : "are",
                        pids_text(fresh), whom)};
  }
  return {
      fmt::format("{} started while {} ran ({}): timings of {} are disturbed.", who, program, pids_text(fresh), whom)};
}

MachineHygiene::Sources MachineHygiene::system_sources(const os::StudyLock& lock) {
  return {[] { return os::machine_state(); },
          [&lock] { return lock.other_holders(); },
          [] { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); },
          lock.failure(),
          [] { return os::processor_times(); },
          [](double seconds) {
            // The hook's readings follow one another without time passing.
            if (!os::machine_is_stood_in()) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
          }};
}

std::vector<std::string> MachineHygiene::start(Context& context) {
  const os::MachineState state = sources_.state();
  note_machine_settings(state, context);
  load_known_ = state.load.has_value();
  if (!load_known_) context.emplace_back("load average", "unavailable: the system keeps none");
  counters_known_ = read_processor_times().has_value();
  if (!counters_known_ && load_known_) {
    context.emplace_back("other work",
                         "not measured: the system keeps no processor times, so the load average stands in for it");
  }
  std::vector<std::string> warnings = machine_settings_warnings(state);
  if (!sources_.lock_failure.empty()) {
    warnings.push_back("cannot tell whether another study is running: " + sources_.lock_failure + ".");
  }
  for (std::string& warning : others_.note(sources_.other_studies(), "")) warnings.push_back(std::move(warning));
  looked_at_ = sources_.now();
  return warnings;
}

std::vector<std::string> MachineHygiene::before(const std::string& program, Context& context, const Waiting& waiting) {
  std::optional<os::LoadAverage> load;
  if (load_known_) {
    load = sources_.state().load;
    context.emplace_back("load before " + program, load ? load_text(*load) : "unavailable");
  }
  std::optional<std::string> warning;
  if (counters_known_) {
    warning = settle(program, context, waiting, load);
  } else if (load) {
    warning = load_.before(program, sources_.now(), load->one_minute);
  }
  return warning ? std::vector<std::string>{*warning} : std::vector<std::string>{};
}

std::optional<std::string> MachineHygiene::settle(const std::string& program, Context& context, const Waiting& waiting,
                                                  const std::optional<os::LoadAverage>& load) {
  const std::string key = "other work before " + program;
  program_start_.reset();
  std::optional<os::ProcessorTimes> last = read_processor_times();
  if (sources_.pause) sources_.pause(kFirstSampleSeconds);
  std::optional<os::ProcessorTimes> next = last ? read_processor_times() : std::nullopt;
  std::optional<double> share = next ? other_work(*last, *next) : std::nullopt;
  const std::optional<double> first = share;
  double waited = 0;
  // A bound on the samples too, should the readings show no time passing.
  const int longest_samples = static_cast<int>(kLongestSettleSeconds / kSettleSampleSeconds);
  bool stopped = false;
  for (int sample = 0; share && *share > kOtherWorkMargin && waited < kLongestSettleSeconds; ++sample) {
    stopped = waiting.stopped && waiting.stopped();
    if (sample == longest_samples || stopped) break;
    if (sample == 0 && waiting.tell) {
      waiting.tell(fmt::format("waiting for the machine to settle: other work uses {}", other_work_text(*share)));
    }
    last = next;
    if (sources_.pause) sources_.pause(kSettleSampleSeconds);
    next = read_processor_times();
    if (!next) {
      share.reset();
      break;
    }
    const double passed = (next->total_seconds - last->total_seconds) / std::max(next->processors, 1);
    waited += passed > 0 ? passed : kSettleSampleSeconds;
    share = other_work(*last, *next);
  }
  if (!share) {
    context.emplace_back(key, "unmeasured: the processors' times could not be read");
    return std::nullopt;
  }
  if (stopped) {
    // The program will not run: nothing to warn of.
    context.emplace_back(key, other_work_text(*share) + ", when the study was stopped");
    return std::nullopt;
  }
  program_start_ = next;
  const bool settled = *share <= kOtherWorkMargin;
  if (waited == 0) {
    context.emplace_back(key, other_work_text(*share));
  } else if (settled) {
    context.emplace_back(key, fmt::format("{}, after waiting {} for {} to settle", other_work_text(*share),
                                          seconds_text(waited), other_work_text(*first)));
    if (waiting.tell) {
      waiting.tell(fmt::format("the machine settled after {}: other work uses {}", seconds_text(waited),
                               other_work_text(*share)));
    }
  } else {
    context.emplace_back(key, fmt::format("{}, still after waiting {}", other_work_text(*share), seconds_text(waited)));
  }
  if (settled) return std::nullopt;
  return fmt::format(
      "other work used {} before {} started, still after waiting {} for it to settle{}: it will disturb its "
      "timings.",
      other_work_text(*share), program, seconds_text(waited), load_aside(load));
}

void MachineHygiene::during(const std::string& program) {
  if (sources_.now() - looked_at_ >= kOtherStudiesLookSeconds) look_for_other_studies(program);
}

std::vector<std::string> MachineHygiene::after(const std::string& program, Context& context) {
  std::vector<std::string> warnings;
  std::optional<os::LoadAverage> load;
  if (load_known_) {
    load = sources_.state().load;
    context.emplace_back("load after " + program, load ? load_text(*load) : "unavailable");
  }
  if (counters_known_) {
    // The program's own time is the study's children's: what is left is other work.
    std::optional<double> share;
    if (program_start_) {
      if (const std::optional<os::ProcessorTimes> end = read_processor_times()) {
        share = other_work(*program_start_, *end);
      }
    }
    // Formatted once, where the share is known to be there.
    const std::string other = share ? other_work_text(share.value()) : std::string();
    context.emplace_back("other work during " + program,
                         share ? other : "unmeasured: the processors' times could not be read");
    if (share.value_or(0.0) > kOtherWorkMargin) {
      warnings.push_back(fmt::format("other work used {} while {} ran{}: it disturbed its timings.", other, program,
                                     load_aside(load)));
    }
    program_start_.reset();
  } else if (load) {
    if (auto warning = load_.after(program, sources_.now(), load->one_minute)) warnings.push_back(std::move(*warning));
  }
  look_for_other_studies(program);
  for (std::string& warning : pending_) warnings.push_back(std::move(warning));
  pending_.clear();
  return warnings;
}

std::optional<os::ProcessorTimes> MachineHygiene::read_processor_times() {
  return sources_.processor_times ? sources_.processor_times() : std::nullopt;
}

void MachineHygiene::look_for_other_studies(const std::string& program) {
  looked_at_ = sources_.now();
  for (std::string& warning : others_.note(sources_.other_studies(), program)) pending_.push_back(std::move(warning));
}

}  // namespace study
