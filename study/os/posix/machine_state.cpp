// Plain POSIX: the load average from getloadavg, which the Unix systems
// keep though POSIX does not name it. The governor and transparent huge
// pages are Linux's: here they stay unknown.
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

}  // namespace study::os
