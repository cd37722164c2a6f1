// What the study records about where and how it ran: the machine, the
// system, and how the programs were built (build-info.txt beside them).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
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

// The context line of the noise calibration (study/run/noise_calibration):
// "noise calibration: 4.2 % per cell (<how it was measured>)". A context
// without it (a folder of an older study, or a calibration turned off)
// leaves the decisions to the stated prior.
inline constexpr const char* kNoiseCalibrationKey = "noise calibration";
void note_noise_calibration(Context& context, double cell_spread, std::string_view how);
// The spread per cell the line states; nothing without a readable line.
std::optional<double> calibrated_spread(const Context& context);

// Reads "<programs>/build-info.txt", written by the build.
BuildInfo read_build_info(const std::filesystem::path& programs);

// Why numbers from this build would mislead, one sentence each; empty when
// the programs were built with optimisation and without instrumentation.
std::vector<std::string> build_warnings(const BuildInfo& build);

// Date, machine, operating system, compiler and flags, build type, version.
Context gather_context(const BuildInfo& build, const std::filesystem::path& programs);

// context.txt written and read back: one "key: value" line per entry.
std::string context_text(const Context& context);
Context parse_context(std::string_view text);
// The value of `key`; empty when the context has none.
std::string context_value(const Context& context, std::string_view key);
// The context.txt of a run folder; empty when there is none.
Context read_context(const std::filesystem::path& run_folder);

}  // namespace study
