// Windows keeps no load average, and the governor and transparent huge
// pages are Linux's: the state is unknown here.
#include "study/os/machine_state.hpp"

namespace study::os {

MachineState system_machine_state() { return {}; }

std::optional<ProcessorTimes> system_processor_times() { return std::nullopt; }

}  // namespace study::os
