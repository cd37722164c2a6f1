// What the tools record about the machine and its system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace study::os {

struct Machine {
  std::string processor;                     // its model, as the system names it; "" when unknown
  int processors = 0;                        // online logical processors, as the system counts them
  std::optional<std::int64_t> memory_bytes;  // the physical memory
  // e.g. "Debian GNU/Linux 12 (bookworm), Linux 6.1.0 x86_64" or
  // "Windows 11 Pro 23H2, Windows 10.0.22631 x86_64"; "" when unknown
  std::string operating_system;
};

Machine describe_machine();

// The online logical processors, without the rest of the description.
int processor_count();

// The machine's network name; "" when the system does not say.
std::string host_name();

}  // namespace study::os
