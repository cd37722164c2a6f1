// What both Unix layers ask the same way: the address-space limit, uname,
// the processor count, the host name and the folder of a command.
#include <limits.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <array>
#include <string_view>
#include <thread>

#include "study/os/machine.hpp"
#include "study/os/posix_common/layer.hpp"

namespace study::os {
namespace unix_layer {

std::optional<MemoryLimit> address_space_limit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return std::nullopt;
  return MemoryLimit{static_cast<std::int64_t>(limit.rlim_cur), "the address-space limit (ulimit -v)"};
}

std::optional<std::int64_t> physical_memory() {
#ifdef _SC_PHYS_PAGES
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long page_size = ::sysconf(_SC_PAGESIZE);
  if (pages > 0 && page_size > 0) return static_cast<std::int64_t>(pages) * page_size;
#endif
  return std::nullopt;
}

std::string uname_text() {
  utsname names{};
  if (uname(&names) != 0) return {};
  return std::string(names.sysname) + " " + names.release + " " + names.machine;
}

std::string uname_machine() {
  utsname names{};
  return uname(&names) == 0 ? std::string(names.machine) : std::string();
}

namespace {

// The real path of `path` when it names a file this process may execute.
std::optional<std::filesystem::path> real_executable(const std::string& path) {
  if (::access(path.c_str(), X_OK) != 0) return std::nullopt;
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  std::filesystem::path resolved = std::filesystem::canonical(path, error);
  if (error) return std::nullopt;
  return resolved;
}

}  // namespace

std::optional<std::filesystem::path> folder_of_command(const char* argv0) {
  if (argv0 == nullptr || *argv0 == '\0') return std::nullopt;
  const std::string_view name(argv0);
  if (name.find('/') != std::string_view::npos) {
    const auto path = real_executable(std::string(name));
    return path ? std::optional(path->parent_path()) : std::nullopt;
  }
  // As execvp searches: each entry of PATH in turn, an empty one meaning
  // the current directory.
  const char* search = std::getenv("PATH");
  std::string_view entries = search != nullptr ? search : "/usr/bin:/bin";
  while (true) {
    const std::size_t colon = entries.find(':');
    const std::string_view entry = entries.substr(0, colon);
    const std::string candidate = (entry.empty() ? std::string(".") : std::string(entry)) + "/" + std::string(name);
    if (const auto path = real_executable(candidate)) return path->parent_path();
    if (colon == std::string_view::npos) return std::nullopt;
    entries.remove_prefix(colon + 1);
  }
}

}  // namespace unix_layer

int processor_count() {
#ifdef _SC_NPROCESSORS_ONLN
  return static_cast<int>(::sysconf(_SC_NPROCESSORS_ONLN));
#else
  return static_cast<int>(std::thread::hardware_concurrency());
#endif
}

std::string host_name() {
  std::array<char, 256> host{};
  if (::gethostname(host.data(), host.size() - 1) != 0) return {};
  return host.data();
}

}  // namespace study::os
