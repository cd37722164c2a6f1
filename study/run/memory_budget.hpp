// How much memory a program may take before the study starts it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace study {

struct MemoryBudget {
  std::int64_t bytes = 0;
  std::string source;  // which limit decided it, in the words of the operating-system layer
};

// The least of the system's limits (os/memory.hpp: on Linux the memory the
// kernel reports available, the control group's remaining allowance and
// the address-space limit) and `user_limit`.
MemoryBudget available_memory(std::optional<std::int64_t> user_limit);

}  // namespace study
