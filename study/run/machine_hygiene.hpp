// Whether the machine was quiet enough for the timings to hold: the other
// work on the processors before and while each program runs (the study
// waits for it to settle first), the load average, the processors'
// frequency governor, transparent huge pages, and other studies running at
// the same time. Each goes into the run's context; what disturbs the
// timings becomes a warning.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "study/model/build_context.hpp"
#include "study/os/machine_state.hpp"

namespace study {

namespace os {
class StudyLock;
}

// The load is counted in tasks, and a program of the suite is one task.
// More than this beyond what the study's own programs explain is other
// work: on average, half a processor's worth.
inline constexpr double kLoadMargin = 0.5;
// The time constant of the 1-minute load average, in seconds: a task that
// starts adds 1 - e^(-t/60) to it after t seconds, and what it held decays
// by e^(-t/60).
inline constexpr double kLoadAverageSeconds = 60.0;
// Other work is the processors' time that neither the study nor its
// programs took, in processors: 1 is one processor kept busy. More than a
// quarter of one takes enough caches, memory bandwidth and clock boost
// from a program to show in its timings.
inline constexpr double kOtherWorkMargin = 0.25;
// Before a program the study samples the other work this long; while it
// is above the margin (a build just done, an earlier program's children
// ending) it samples again every kSettleSampleSeconds, up to
// kLongestSettleSeconds in all.
inline constexpr double kFirstSampleSeconds = 0.5;
inline constexpr double kSettleSampleSeconds = 1.0;
inline constexpr double kLongestSettleSeconds = 60.0;
// Other studies are looked for at most this often while a program runs.
inline constexpr double kOtherStudiesLookSeconds = 2.0;

// "0.31 (5 min 0.28, 15 min 0.20)"
std::string load_text(const os::LoadAverage& load);

// The other work between two readings, in processors; absent when no time
// passed between them.
std::optional<double> other_work(const os::ProcessorTimes& from, const os::ProcessorTimes& to);

// "85 % of a processor"
std::string other_work_text(double processors);

// The context's lines of the settings the system tells: "frequency
// governor" and "transparent huge pages".
void note_machine_settings(const os::MachineState& state, Context& context);

// The settings that make timings vary from run to run: a governor other
// than performance, transparent huge pages always.
std::vector<std::string> machine_settings_warnings(const os::MachineState& state);

// The 1-minute load average held against the study's own share of it: a
// program adds up to one task while it runs, and its share decays after.
// Times are seconds of a steady clock.
class LoadWatch {
 public:
  // Before `program` starts: a warning when the load exceeds the share of
  // the study's earlier programs by more than kLoadMargin.
  std::optional<std::string> before(std::string_view program, double now, double load);
  // After it ended: a warning when the load exceeds what the load before
  // it, decayed, and its own task explain by more than kLoadMargin.
  std::optional<std::string> after(std::string_view program, double now, double load);

 private:
  double own_share_ = 0;  // the study's programs' part of the average at noted_at_
  double noted_at_ = 0;
  bool noted_ = false;
  std::optional<double> load_before_;  // of the program running, when the system told it
  double started_at_ = 0;
};

// The warnings about other studies: one for each, however often it is seen.
class OtherStudies {
 public:
  // `program` is the program that was running when they were seen; "" at
  // the study's start.
  std::vector<std::string> note(const std::vector<std::uint64_t>& holders, std::string_view program);

 private:
  std::set<std::uint64_t> seen_;
};

// All of it for one study, reading the machine through `Sources`: the
// system's in a study, given values in the tests.
class MachineHygiene {
 public:
  struct Sources {
    std::function<os::MachineState()> state;
    std::function<std::vector<std::uint64_t>()> other_studies;
    std::function<double()> now;  // seconds of a steady clock
    std::string lock_failure;     // why the study holds no lock of its own; "" when it holds one
    // Absent, or giving none, where the system keeps no counters: the load
    // average then stands in for the other work.
    std::function<std::optional<os::ProcessorTimes>()> processor_times;
    std::function<void(double seconds)> pause;  // between two readings
  };

  // While it waits for the machine to settle before a program.
  struct Waiting {
    std::function<void(const std::string& line)> tell;  // as the wait begins and as it ends
    std::function<bool()> stopped;                      // the user asked the study to stop: the wait ends
  };

  // The machine's, with the study's own lock.
  static Sources system_sources(const os::StudyLock& lock);

  explicit MachineHygiene(Sources sources) : sources_(std::move(sources)) {}

  // At the study's start: the settings into the context, their warnings
  // and those about the other studies running.
  std::vector<std::string> start(Context& context);
  // Around each program (`program` its label): the other work and the load
  // into the context, and the warnings. before() waits for the other work
  // to settle; after() holds the other work over the program's run against
  // the margin and also gives the warnings of during().
  std::vector<std::string> before(const std::string& program, Context& context, const Waiting& waiting = {});
  void during(const std::string& program);
  std::vector<std::string> after(const std::string& program, Context& context);

 private:
  void look_for_other_studies(const std::string& program);
  std::optional<os::ProcessorTimes> read_processor_times();
  // Waits until the other work is within the margin, or for the longest
  // wait; the warning when it is still above.
  std::optional<std::string> settle(const std::string& program, Context& context, const Waiting& waiting,
                                    const std::optional<os::LoadAverage>& load);

  Sources sources_;
  LoadWatch load_;
  OtherStudies others_;
  bool load_known_ = false;                          // the system told a load at the start: each program notes its own
  bool counters_known_ = false;                      // the system keeps the processors' time: other work is measured
  std::optional<os::ProcessorTimes> program_start_;  // the reading as the running program started
  double looked_at_ = 0;
  std::vector<std::string> pending_;  // seen while a program ran
};

}  // namespace study
