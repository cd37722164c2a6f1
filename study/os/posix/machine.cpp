// Plain POSIX: uname names the system and the processor's architecture,
// sysconf counts the processors and, where it can, the physical memory.
#include "study/os/machine.hpp"

#include "study/os/posix_common/layer.hpp"

namespace study::os {

Machine describe_machine() {
  Machine machine;
  machine.processor = unix_layer::uname_machine();
  machine.processors = processor_count();
  machine.memory_bytes = unix_layer::physical_memory();
  machine.operating_system = unix_layer::uname_text();
  return machine;
}

}  // namespace study::os
