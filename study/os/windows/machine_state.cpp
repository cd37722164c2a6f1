// Windows keeps no load average, and the governor and transparent huge
// pages are Linux's: the state is unknown here. The processors' times come
// from GetSystemTimes, the tool's own from GetProcessTimes and the
// accounting of the programs it waited for.
#include "study/os/machine_state.hpp"

#include "study/os/windows/layer.hpp"

namespace study::os {

MachineState system_machine_state() { return {}; }

std::optional<ProcessorTimes> system_processor_times() {
  FILETIME idle{}, kernel{}, user{};
  FILETIME created{}, ended{}, own_kernel{}, own_user{};
  if (!GetSystemTimes(&idle, &kernel, &user) ||
      !GetProcessTimes(GetCurrentProcess(), &created, &ended, &own_kernel, &own_user)) {
    return std::nullopt;
  }
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  constexpr double kTicksPerSecond = 1e7;
  using windows_layer::ticks_of;
  // The kernel's time includes the idle time.
  const std::uint64_t total = ticks_of(kernel) + ticks_of(user);
  const std::uint64_t own = ticks_of(own_kernel) + ticks_of(own_user) + windows_layer::waited_program_time.load();
  ProcessorTimes times;
  times.busy_seconds = static_cast<double>(total - ticks_of(idle)) / kTicksPerSecond;
  times.total_seconds = static_cast<double>(total) / kTicksPerSecond;
  times.processors = static_cast<int>(system.dwNumberOfProcessors);
  times.own_seconds = static_cast<double>(own) / kTicksPerSecond;
  if (times.processors <= 0 || total < ticks_of(idle)) return std::nullopt;
  return times;
}

}  // namespace study::os
