#include "study/memory_budget.hpp"

#include <sys/resource.h>

#include <cstdint>
#include <filesystem>

#include "study/system_files.hpp"

namespace study {
namespace {

// The cgroup v2 folder of this process, if it has one.
std::optional<std::filesystem::path> control_group() {
  const std::string text = file_text("/proc/self/cgroup");
  const std::size_t start = text.find("0::");
  if (start == std::string::npos) return std::nullopt;
  std::size_t end = text.find('\n', start);
  if (end == std::string::npos) end = text.size();
  return std::filesystem::path("/sys/fs/cgroup") /
         std::filesystem::path(text.substr(start + 3, end - start - 3)).relative_path();
}

}  // namespace

MemoryBudget available_memory(std::optional<std::int64_t> user_limit) {
  MemoryBudget budget{INT64_MAX, "no limit found"};
  const auto consider = [&budget](std::int64_t bytes, std::string source) {
    if (bytes < budget.bytes) budget = {bytes, std::move(source)};
  };
  if (const auto kb = leading_number(field(file_text("/proc/meminfo"), "MemAvailable").value_or(""))) {
    consider(*kb * 1024, "MemAvailable in /proc/meminfo");
  }
  if (const auto group = control_group()) {
    const auto limit = leading_number(file_text(*group / "memory.max"));
    const auto used = leading_number(file_text(*group / "memory.current"));
    if (limit && used) consider(*limit - *used, "the control group's memory.max less its memory.current");
  }
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
    consider(static_cast<std::int64_t>(limit.rlim_cur), "the address-space limit (ulimit -v)");
  }
  if (user_limit) consider(*user_limit, "--memory-limit");
  return budget;
}

}  // namespace study
