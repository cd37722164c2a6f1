// The memory the system lets the next program take, as the limits it knows
// of, each with the words that name it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace study::os {

struct MemoryLimit {
  std::int64_t bytes = 0;
  std::string source;  // which limit it is, e.g. "MemAvailable in /proc/meminfo"
};

// Every limit found, in a fixed order; the least of them decides. On Linux:
// the memory the kernel reports available, the control group's remaining
// allowance and the address-space limit; elsewhere on Unix: the physical
// memory and the address-space limit; on Windows: the physical memory
// available, the commit charge still allowed and the limits of a job
// object the tool runs in.
std::vector<MemoryLimit> memory_limits();

}  // namespace study::os
