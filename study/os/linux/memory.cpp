// Linux: the kernel's estimate of the memory available, the control group's
// remaining allowance (cgroup v2) and the address-space limit.
#include "study/os/memory.hpp"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "study/os/posix_common/layer.hpp"
#include "study/os/system_files.hpp"

namespace study::os {
namespace {

// The cgroup v2 folder of this process, if it has one.
std::optional<std::filesystem::path> control_group() {
  const std::string text = file_text("/proc/self/cgroup");
  const std::size_t start = text.find("0::");
  if (start == std::string::npos) return std::nullopt;
  const std::size_t end = std::min(text.find('\n', start), text.size());
  return std::filesystem::path("/sys/fs/cgroup") /
         std::filesystem::path(text.substr(start + 3, end - start - 3)).relative_path();
}

}  // namespace

std::vector<MemoryLimit> memory_limits() {
  std::vector<MemoryLimit> limits;
  if (const auto kb = leading_number(field(file_text("/proc/meminfo"), "MemAvailable").value_or(""))) {
    limits.push_back({*kb * 1024, "MemAvailable in /proc/meminfo"});
  }
  if (const auto group = control_group()) {
    const auto limit = leading_number(file_text(*group / "memory.max"));
    const auto used = leading_number(file_text(*group / "memory.current"));
    if (limit && used) limits.push_back({*limit - *used, "the control group's memory.max less its memory.current"});
  }
  if (auto limit = unix_layer::address_space_limit()) limits.push_back(std::move(*limit));
  return limits;
}

}  // namespace study::os
