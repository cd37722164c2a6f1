// Linux: the machine's state from its own files in /proc and /sys, the
// study's own processor time from getrusage.
#include "study/os/machine_state.hpp"

#include <sys/resource.h>
#include <unistd.h>

#include "study/os/system_files.hpp"

namespace study::os {
namespace {

double seconds_of(const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; }

}  // namespace

MachineState system_machine_state() { return linux_machine_state("/"); }

std::optional<ProcessorTimes> system_processor_times() {
  const long ticks = ::sysconf(_SC_CLK_TCK);
  if (ticks <= 0) return std::nullopt;
  std::optional<ProcessorTimes> times = parse_processor_times(file_text("/proc/stat"), static_cast<double>(ticks));
  if (!times) return std::nullopt;
  // RUSAGE_CHILDREN holds each program from the moment it was waited for.
  for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    rusage usage{};
    if (::getrusage(who, &usage) != 0) return std::nullopt;
    times->own_seconds += seconds_of(usage.ru_utime) + seconds_of(usage.ru_stime);
  }
  return times;
}

}  // namespace study::os
