#include "study/run/memory_budget.hpp"

#include <cstdint>

#include "study/os/memory.hpp"

namespace study {

MemoryBudget available_memory(std::optional<std::int64_t> user_limit) {
  MemoryBudget budget{INT64_MAX, "no limit found"};
  const auto consider = [&budget](std::int64_t bytes, std::string source) {
    if (bytes < budget.bytes) budget = {bytes, std::move(source)};
  };
  for (os::MemoryLimit& limit : os::memory_limits()) consider(limit.bytes, std::move(limit.source));
  if (user_limit) consider(*user_limit, "--memory-limit");
  return budget;
}

}  // namespace study
