#include "study/study_environment.hpp"

#include <sys/resource.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <ctime>

#include "study/output_files.hpp"

namespace study {
namespace {

std::string file_text(const std::filesystem::path& path) {
  FileText file = read_whole_file(path);
  return file.text ? std::move(*file.text) : std::string();
}

// The value after "key" and a colon on the first line that starts with key.
std::optional<std::string> field(const std::string& text, std::string_view key) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    const std::string_view line(text.data() + begin, end - begin);
    if (line.starts_with(key)) {
      const std::size_t colon = line.find(':');
      if (colon != std::string_view::npos) {
        std::string_view value = line.substr(colon + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
        while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.remove_suffix(1);
        return std::string(value);
      }
    }
    begin = end + 1;
  }
  return std::nullopt;
}

std::optional<std::int64_t> leading_number(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data()) return std::nullopt;
  return value;
}

}  // namespace

std::string with_thousands(std::int64_t value) {
  const std::string digits = std::to_string(value);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

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

BuildInfo read_build_info(const std::filesystem::path& programs) {
  BuildInfo build;
  const FileText file = read_whole_file(programs / "build-info.txt");
  if (!file.text) return build;
  build.found = true;
  build.compiler = field(*file.text, "compiler").value_or("unknown");
  build.flags = field(*file.text, "flags").value_or("");
  build.build_type = field(*file.text, "build type").value_or("unknown");
  build.version = field(*file.text, "version").value_or("unknown");
  return build;
}

std::vector<std::string> build_warnings(const BuildInfo& build) {
  std::vector<std::string> warnings;
  if (!build.found) {
    warnings.push_back("no build-info.txt beside the programs: whether they were optimised is unknown.");
    return warnings;
  }
  // The last -O option is the one the compiler obeys.
  std::string level = "0";
  std::size_t at = 0;
  while ((at = build.flags.find("-O", at)) != std::string::npos) {
    if (at == 0 || build.flags[at - 1] == ' ') {
      const std::size_t end = build.flags.find(' ', at);
      level = build.flags.substr(at + 2, end == std::string::npos ? std::string::npos : end - at - 2);
      if (level.empty()) level = "1";
    }
    at += 2;
  }
  if (level == "0" || level == "g") {
    warnings.push_back("the programs were built without optimisation (flags \"" + build.flags +
                       "\"): their times mislead; build with the release preset.");
  }
  if (build.flags.find("-fsanitize") != std::string::npos) {
    warnings.push_back("the programs were built with sanitizers: their times and memory mislead.");
  }
  if (build.flags.find("-pg") != std::string::npos || build.flags.find("--coverage") != std::string::npos) {
    warnings.push_back("the programs were built with profiling or coverage instrumentation: their times mislead.");
  }
  return warnings;
}

Context gather_context(const BuildInfo& build, const std::filesystem::path& programs) {
  Context context;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::array<char, 64> date{};
  std::strftime(date.data(), date.size(), "%Y-%m-%d %H:%M:%S %z", &local);
  context.emplace_back("date", date.data());

  const std::string cpuinfo = file_text("/proc/cpuinfo");
  const std::string processor = field(cpuinfo, "model name").value_or(field(cpuinfo, "Model").value_or("unknown"));
  const long cores = sysconf(_SC_NPROCESSORS_ONLN);
  const auto memory_kb = leading_number(field(file_text("/proc/meminfo"), "MemTotal").value_or(""));
  std::array<char, 32> memory{"unknown"};
  if (memory_kb) std::snprintf(memory.data(), memory.size(), "%.1f GB", static_cast<double>(*memory_kb) * 1024 / 1e9);
  context.emplace_back("machine", processor + ", " + std::to_string(cores) + " cores, " + memory.data() + " memory");

  std::string system;
  const std::string release = file_text("/etc/os-release");
  if (const std::size_t at = release.find("PRETTY_NAME="); at != std::string::npos) {
    const std::size_t end = release.find('\n', at);
    system = release.substr(at + 12, end == std::string::npos ? std::string::npos : end - at - 12);
    if (system.size() >= 2 && system.front() == '"') system = system.substr(1, system.size() - 2);
  }
  utsname names{};
  if (uname(&names) == 0) {
    system += (system.empty() ? "" : ", ") + std::string(names.sysname) + " " + names.release + " " + names.machine;
  }
  context.emplace_back("operating system", system.empty() ? "unknown" : system);

  if (build.found) {
    context.emplace_back("compiler", build.compiler);
    context.emplace_back("flags", build.flags);
    context.emplace_back("build type", build.build_type);
    context.emplace_back("version", build.version);
  } else {
    context.emplace_back("build", "unknown: no build-info.txt beside the programs");
  }
  context.emplace_back("programs", std::filesystem::absolute(programs).lexically_normal().string());
  return context;
}

std::string context_text(const Context& context) {
  std::string text;
  for (const auto& [key, value] : context) text += key + ": " + value + "\n";
  return text;
}

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

std::string megabytes(std::int64_t bytes) {
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%.1f MB", static_cast<double>(bytes) / 1e6);
  return text.data();
}

}  // namespace study
