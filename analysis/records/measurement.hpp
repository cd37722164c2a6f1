// The precise record of repeated runs: one measurement per timed window and
// run, gathered into a set that knows which runs finished.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace analysis {

// One timed window of one run: its place in the program's tables (labels as
// in the results file), the sort it timed, the hundredths the program
// reported, the elapsed nanoseconds of the same window, and what the system
// counted for the measuring thread over it, where the record holds it.
struct Measurement {
  std::string program;
  std::string table;
  std::string row;
  std::string column;
  std::string kernel;  // the sort the window timed, e.g. "QSORT"; empty when unknown
  int repeat = 0;
  std::uint32_t seed = 0;
  std::int64_t hundredths = 0;
  std::int64_t nanoseconds = 0;
  bool complete = true;  // the run this window belongs to finished normally
  // The window's evidence; absent where the system did not count it or the
  // record is older than the counts.
  std::optional<std::int64_t> cpu_nanoseconds{};       // the thread's CPU time
  std::optional<std::int64_t> involuntary_switches{};  // switched out against its will
  std::optional<std::int64_t> migrations{};            // moved to another processor
  std::optional<std::int64_t> cycles{};                // the processor's own events
  std::optional<std::int64_t> instructions{};
  std::optional<std::int64_t> branch_misses{};
  std::optional<std::int64_t> cache_misses{};
};

// A window is disturbed when it lost the processor for more than
// kDisturbedShare of its wall time: the wall time less the thread's own CPU
// time. A kernel thread that takes a few microseconds from a long window is
// no disturbance; a window that lost a tenth of its time to other work is.
// Where the system counts switches, a loss without an involuntary switch is
// the clocks' own offset, not other work. Where it counts none (Windows),
// its CPU time grows in scheduler ticks, so the loss must pass a tick too.
inline constexpr double kDisturbedShare = 0.05;
inline constexpr std::int64_t kSchedulerTickNanoseconds = 16'000'000;

// The share of the window's wall time it spent off the processor; nothing
// when the record holds no CPU time for it.
std::optional<double> lost_share(const Measurement& window);
bool disturbed(const Measurement& window);

// One run of one program, named by its repeat index.
struct RunSummary {
  std::string program;
  int repeat = 0;
  std::uint32_t seed = 0;
  bool complete = true;
  std::size_t measurements = 0;
};

// "run 3 (seed 503, 37 windows)".
std::string run_description(const RunSummary& run);

// Every measurement of one or more studies. A run is (program, repeat); it is
// complete only when none of its measurements says otherwise, so a run that
// failed half-way never passes for a finished one.
class MeasurementSet {
 public:
  // Throws std::invalid_argument for a negative time, an empty program name,
  // a window seen twice in one run, or a run that changes its seed.
  void add(Measurement measurement);

  const std::vector<Measurement>& all() const { return measurements_; }
  bool empty() const { return measurements_.empty(); }

  // Programs in the order they first appear.
  std::vector<std::string> programs() const;

  // The runs of one program, by repeat index.
  std::vector<RunSummary> runs(std::string_view program) const;

  // Runs of every program that did not finish, by program and repeat.
  std::vector<RunSummary> incomplete_runs() const;

 private:
  using WindowKey = std::tuple<std::string, int, std::string, std::string, std::string>;
  using RunKey = std::pair<std::string, int>;

  std::vector<Measurement> measurements_;
  std::set<WindowKey> windows_;
  std::map<RunKey, std::uint32_t> seeds_;
};

}  // namespace analysis
