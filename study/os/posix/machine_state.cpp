// Plain POSIX: the load average from getloadavg, which the Unix systems
// keep though POSIX does not name it. The governor and transparent huge
// pages are Linux's: here they stay unknown. Neither does POSIX name a
// counter of the processors' time, so the study falls back on the load.
#include "study/os/machine_state.hpp"

#include <stdlib.h>

#include <array>

namespace study::os {

MachineState system_machine_state() {
  MachineState state;
  std::array<double, 3> averages{};
  const int known = ::getloadavg(averages.data(), static_cast<int>(averages.size()));
  if (known >= 1) {
    state.load = LoadAverage{averages[0], std::nullopt, std::nullopt};
    if (known >= 2) state.load->five_minutes = averages[1];
    if (known >= 3) state.load->fifteen_minutes = averages[2];
  }
  return state;
}

std::optional<ProcessorTimes> system_processor_times() { return std::nullopt; }

}  // namespace study::os
