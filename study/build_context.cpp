#include "study/build_context.hpp"

#include <sys/utsname.h>
#include <unistd.h>

#include <array>
#include <ctime>

#include "study/system_files.hpp"
#include "study/text_format.hpp"

namespace study {

BuildInfo read_build_info(const std::filesystem::path& programs) {
  BuildInfo build;
  const std::string text = file_text(programs / "build-info.txt");
  if (text.empty()) return build;
  build.found = true;
  build.compiler = field(text, "compiler").value_or("unknown");
  build.flags = field(text, "flags").value_or("");
  build.build_type = field(text, "build type").value_or("unknown");
  build.version = field(text, "version").value_or("unknown");
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
  const std::string memory = memory_kb ? fixed(static_cast<double>(*memory_kb) * 1024 / 1e9, 1) + " GB" : "unknown";
  context.emplace_back("machine", processor + ", " + std::to_string(cores) + " cores, " + memory + " memory");

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

}  // namespace study
