// What the study records about where and how it ran, and how much memory a
// program may take before it starts.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace study {

// "key: value" lines, in order: the content of context.txt.
using Context = std::vector<std::pair<std::string, std::string>>;

struct BuildInfo {
  bool found = false;  // build-info.txt was beside the programs
  std::string compiler;
  std::string flags;
  std::string build_type;
  std::string version;
};

// Reads "<programs>/build-info.txt", written by the build.
BuildInfo read_build_info(const std::filesystem::path& programs);

// Why numbers from this build would mislead, one sentence each; empty when
// the programs were built with optimisation and without instrumentation.
std::vector<std::string> build_warnings(const BuildInfo& build);

// Date, machine, operating system, compiler and flags, build type, version.
Context gather_context(const BuildInfo& build, const std::filesystem::path& programs);
std::string context_text(const Context& context);

struct MemoryBudget {
  std::int64_t bytes = 0;
  std::string source;  // which limit decided it, e.g. "MemAvailable in /proc/meminfo"
};

// The least of: the memory the system reports available, the control
// group's remaining allowance, the address-space limit and `user_limit`.
MemoryBudget available_memory(std::optional<std::int64_t> user_limit);

// "648.0 MB"
std::string megabytes(std::int64_t bytes);
// "648,000,000"
std::string with_thousands(std::int64_t value);

}  // namespace study
