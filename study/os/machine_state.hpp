// How busy the machine is and the settings that make the programs' speed
// change from run to run: the load average, the processors' frequency
// governor and transparent huge pages, where the system tells them.
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
