#include "study/model/build_context.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <ctime>

#include "analysis/text/text_format.hpp"
#include "study/model/run_folder_layout.hpp"
#include "study/os/clock.hpp"
#include "study/os/machine.hpp"
#include "study/os/system_files.hpp"

namespace study {

BuildInfo read_build_info(const std::filesystem::path& programs) {
  BuildInfo build;
  const std::string text = file_text(programs / run_files::kBuildInfoFile);
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
  const std::tm local = os::local_time(now);
  std::array<char, 64> date{};
  std::strftime(date.data(), date.size(), "%Y-%m-%d %H:%M:%S", &local);
  context.emplace_back("date", std::string(date.data()) + " " + os::utc_offset(now));

  const os::Machine machine = os::describe_machine();
  const std::string processor = machine.processor.empty() ? "unknown" : machine.processor;
  const std::string memory =
      machine.memory_bytes ? analysis::fixed(static_cast<double>(*machine.memory_bytes) / 1e9, 1) + " GB" : "unknown";
  context.emplace_back("machine",
                       processor + ", " + std::to_string(machine.processors) + " cores, " + memory + " memory");
  context.emplace_back("operating system", machine.operating_system.empty() ? "unknown" : machine.operating_system);

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

Context parse_context(std::string_view text) {
  Context context;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (const std::size_t colon = line.find(": "); colon != std::string_view::npos) {
      context.emplace_back(line.substr(0, colon), line.substr(colon + 2));
    }
  }
  return context;
}

std::string context_value(const Context& context, std::string_view key) {
  for (const auto& [name, value] : context) {
    if (name == key) return value;
  }
  return {};
}

void note_noise_calibration(Context& context, double cell_spread, std::string_view how) {
  context.emplace_back(kNoiseCalibrationKey,
                       analysis::format_percent(cell_spread) + " per cell (" + std::string(how) + ")");
}

std::optional<double> calibrated_spread(const Context& context) {
  const std::string value = context_value(context, kNoiseCalibrationKey);
  double percent = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), percent);
  if (error != std::errc() || !std::string_view(end, value.data() + value.size()).starts_with(" % per cell")) {
    return std::nullopt;
  }
  if (!std::isfinite(percent) || percent < 0) return std::nullopt;
  return percent / 100.0;
}

Context read_context(const std::filesystem::path& run_folder) {
  return parse_context(file_text(run_folder / run_files::kContextFile));
}

}  // namespace study
