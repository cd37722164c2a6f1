// How busy the machine is and the settings that make the programs' speed
// change from run to run: the load average, the processors' time, the
// processors' frequency governor and transparent huge pages, where the
// system tells them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace study::os {

// The tasks running or waiting for a processor (on Linux also those
// waiting for the disk), averaged over 1, 5 and 15 minutes. Not divided by
// the processors: a program of the suite counts 1 however many there are.
struct LoadAverage {
  double one_minute = 0;
  std::optional<double> five_minutes;
  std::optional<double> fifteen_minutes;
};

struct MachineState {
  std::optional<LoadAverage> load;  // absent where the system keeps none (Windows)
  // The frequency governor of each processor that has one, by processor
  // number; empty where the system does not say (many virtual machines,
  // every system but Linux).
  std::vector<std::string> governors;
  std::string huge_pages;  // transparent huge pages: "always", "madvise" or "never"; "" where unknown
};

// The machine's state now. When SORTBENCH_MACHINE_ROOT names a folder laid
// out like Linux's /proc and /sys, its files stand in for the system's on
// every system: a hook for the tests, whose outputs must not depend on the
// load of the machine that runs them.
MachineState machine_state();

// The system's own state, which machine_state() gives without the hook.
MachineState system_machine_state();

// The processors' time since the system started, summed over them all, in
// processor-seconds: what every process made them do, and of that the
// part of this process and of the programs it started and waited for.
// Two readings tell the share of the processors that other work took
// between them.
struct ProcessorTimes {
  double busy_seconds = 0;   // working, for any process or the kernel
  double total_seconds = 0;  // working or idle: the time passed times the processors
  int processors = 0;
  double own_seconds = 0;  // this process and its waited-for programs
};

// The processors' time now; absent where the system keeps no counters of
// it (the plain POSIX layer). With SORTBENCH_MACHINE_ROOT, DIR/proc/stat
// stands in for the system's, and its times are all other work's (own
// none). A test lays out a sequence of readings as DIR/proc/stat.1,
// stat.2, ...: each reading takes the lowest-numbered one there and
// removes it, and DIR/proc/stat comes when none is left.
std::optional<ProcessorTimes> processor_times();

// The system's own, which processor_times() gives without the hook.
std::optional<ProcessorTimes> system_processor_times();

// SORTBENCH_MACHINE_ROOT is set: the readings are given, and no time needs
// to pass between two of them.
bool machine_is_stood_in();

// The processors' time in /proc/stat's form: its "cpu" line summed over
// all processors (user nice system idle iowait irq softirq steal ..., in
// ticks of `ticks_per_second`), and the processors counted by their
// "cpuN" lines. Stolen time counts as busy: another guest of the host took
// the processor. Own seconds are left 0.
std::optional<ProcessorTimes> parse_processor_times(std::string_view text, double ticks_per_second);

// The state as Linux's files under `root` tell it: proc/loadavg,
// sys/devices/system/cpu/cpuN/cpufreq/scaling_governor and
// sys/kernel/mm/transparent_hugepage/enabled. A file that is missing or
// unreadable leaves its part unknown.
MachineState linux_machine_state(const std::filesystem::path& root);

// The averages at the start of a text in /proc/loadavg's form
// ("0.31 0.28 0.20 2/345 6789"); the 5- and 15-minute ones may be missing.
std::optional<LoadAverage> parse_load_average(std::string_view text);

// The setting a file of the kernel's settings shows: the word in brackets
// where the file lists every choice ("always [madvise] never"), else its
// text without the blanks around it ("performance\n").
std::string chosen_setting(std::string_view text);

}  // namespace study::os
