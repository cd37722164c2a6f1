// Linux: the machine's state from its own files in /proc and /sys.
#include "study/os/machine_state.hpp"

namespace study::os {

MachineState system_machine_state() { return linux_machine_state("/"); }

}  // namespace study::os
