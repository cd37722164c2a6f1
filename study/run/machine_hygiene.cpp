#include "study/run/machine_hygiene.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <cmath>

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

}  // namespace

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
  return {[] { return os::machine_state(); }, [&lock] { return lock.other_holders(); },
          [] { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); },
          lock.failure()};
}

std::vector<std::string> MachineHygiene::start(Context& context) {
  const os::MachineState state = sources_.state();
  note_machine_settings(state, context);
  load_known_ = state.load.has_value();
  if (!load_known_) context.emplace_back("load average", "unavailable: the system keeps none");
  std::vector<std::string> warnings = machine_settings_warnings(state);
  if (!sources_.lock_failure.empty()) {
    warnings.push_back("cannot tell whether another study is running: " + sources_.lock_failure + ".");
  }
  for (std::string& warning : others_.note(sources_.other_studies(), "")) warnings.push_back(std::move(warning));
  looked_at_ = sources_.now();
  return warnings;
}

std::vector<std::string> MachineHygiene::before(const std::string& program, Context& context) {
  if (!load_known_) return {};
  const os::MachineState state = sources_.state();
  context.emplace_back("load before " + program, state.load ? load_text(*state.load) : "unavailable");
  if (!state.load) return {};
  const std::optional<std::string> warning = load_.before(program, sources_.now(), state.load->one_minute);
  return warning ? std::vector<std::string>{*warning} : std::vector<std::string>{};
}

void MachineHygiene::during(const std::string& program) {
  if (sources_.now() - looked_at_ >= kOtherStudiesLookSeconds) look_for_other_studies(program);
}

std::vector<std::string> MachineHygiene::after(const std::string& program, Context& context) {
  std::vector<std::string> warnings;
  if (load_known_) {
    const os::MachineState state = sources_.state();
    context.emplace_back("load after " + program, state.load ? load_text(*state.load) : "unavailable");
    if (state.load) {
      if (auto warning = load_.after(program, sources_.now(), state.load->one_minute)) {
        warnings.push_back(std::move(*warning));
      }
    }
  }
  look_for_other_studies(program);
  for (std::string& warning : pending_) warnings.push_back(std::move(warning));
  pending_.clear();
  return warnings;
}

void MachineHygiene::look_for_other_studies(const std::string& program) {
  looked_at_ = sources_.now();
  for (std::string& warning : others_.note(sources_.other_studies(), program)) pending_.push_back(std::move(warning));
}

}  // namespace study
