// Plain POSIX: the physical memory, as sysconf counts it where it can, and
// the address-space limit. What other programs hold is not known here.
#include "study/os/memory.hpp"

#include "study/os/posix_common/layer.hpp"

namespace study::os {

std::vector<MemoryLimit> memory_limits() {
  std::vector<MemoryLimit> limits;
  if (const auto bytes = unix_layer::physical_memory()) limits.push_back({*bytes, "the machine's physical memory"});
  if (auto limit = unix_layer::address_space_limit()) limits.push_back(std::move(*limit));
  return limits;
}

}  // namespace study::os
