// Linux: the processor from /proc/cpuinfo, the memory from /proc/meminfo,
// the distribution from /etc/os-release beside uname.
#include "study/os/machine.hpp"

#include "study/os/posix_common/layer.hpp"
#include "study/os/system_files.hpp"

namespace study::os {

Machine describe_machine() {
  Machine machine;
  const std::string cpuinfo = file_text("/proc/cpuinfo");
  machine.processor = field(cpuinfo, "model name").value_or(field(cpuinfo, "Model").value_or(""));
  machine.processors = processor_count();
  if (const auto kb = leading_number(field(file_text("/proc/meminfo"), "MemTotal").value_or(""))) {
    machine.memory_bytes = *kb * 1024;
  }
  std::string system;
  const std::string release = file_text("/etc/os-release");
  if (const std::size_t at = release.find("PRETTY_NAME="); at != std::string::npos) {
    const std::size_t end = release.find('\n', at);
    system = release.substr(at + 12, end == std::string::npos ? std::string::npos : end - at - 12);
    if (system.size() >= 2 && system.front() == '"') system = system.substr(1, system.size() - 2);
  }
  if (const std::string names = unix_layer::uname_text(); !names.empty()) {
    system += (system.empty() ? "" : ", ") + names;
  }
  machine.operating_system = system;
  return machine;
}

}  // namespace study::os
