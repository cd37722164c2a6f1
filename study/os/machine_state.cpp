// What every layer shares of the machine's state: the tests' stand-in, and
// the reading of Linux's files, which the Linux layer does under "/".
#include "study/os/machine_state.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <map>

#include "study/os/system_files.hpp"

namespace study::os {
namespace {

// The number at the start of `text`, after blanks; `text` moves past it.
std::optional<double> next_number(std::string_view& text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data() || !std::isfinite(value) || value < 0) return std::nullopt;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return value;
}

// The hook's folder; "" without it.
std::string machine_root() {
  const char* root = std::getenv("SORTBENCH_MACHINE_ROOT");
  return root != nullptr ? root : "";
}

// Linux counts /proc/stat in ticks of USER_HZ, 100 on every architecture.
constexpr double kStandInTicksPerSecond = 100;

// The stand-in reading: the lowest-numbered proc/stat.N, taken out of the
// sequence, else proc/stat.
std::string stand_in_stat(const std::filesystem::path& root) {
  const std::filesystem::path proc = root / "proc";
  std::optional<long> lowest;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(proc, error)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with("stat.")) continue;
    long number = 0;
    const auto [end, failed] = std::from_chars(name.data() + 5, name.data() + name.size(), number);
    if (failed != std::errc() || end != name.data() + name.size()) continue;
    if (!lowest || number < *lowest) lowest = number;
  }
  if (!lowest) return file_text(proc / "stat");
  const std::filesystem::path next = proc / ("stat." + std::to_string(*lowest));
  std::string text = file_text(next);
  std::filesystem::remove(next, error);
  return text;
}

}  // namespace

MachineState machine_state() {
  const std::string root = machine_root();
  return !root.empty() ? linux_machine_state(root) : system_machine_state();
}

bool machine_is_stood_in() { return !machine_root().empty(); }

std::optional<ProcessorTimes> processor_times() {
  const std::string root = machine_root();
  return !root.empty() ? parse_processor_times(stand_in_stat(root), kStandInTicksPerSecond) : system_processor_times();
}

std::optional<ProcessorTimes> parse_processor_times(std::string_view text, double ticks_per_second) {
  std::optional<ProcessorTimes> times;
  int processors = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.starts_with("cpu")) continue;
    if (line.size() > 3 && line[3] >= '0' && line[3] <= '9') {
      ++processors;
      continue;
    }
    if (line.size() > 3 && line[3] != ' ') continue;
    line.remove_prefix(3);
    // user nice system idle iowait irq softirq steal; guest time is in user's already.
    std::array<double, 8> ticks{};
    std::size_t known = 0;
    while (known < ticks.size()) {
      const std::optional<double> value = next_number(line);
      if (!value) break;
      ticks[known++] = *value;
    }
    if (known < 4) return std::nullopt;
    const double idle = ticks[3] + ticks[4];
    const double busy = ticks[0] + ticks[1] + ticks[2] + ticks[5] + ticks[6] + ticks[7];
    times = ProcessorTimes{busy / ticks_per_second, (busy + idle) / ticks_per_second, 0, 0};
  }
  if (!times || processors == 0) return std::nullopt;
  times->processors = processors;
  return times;
}

MachineState linux_machine_state(const std::filesystem::path& root) {
  MachineState state;
  state.load = parse_load_average(file_text(root / "proc/loadavg"));
  // cpu0, cpu1, ..., cpu10 by number; "cpufreq" and "cpuidle" are not processors.
  std::map<long, std::string> governors;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(root / "sys/devices/system/cpu", error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() < 4 || !name.starts_with("cpu")) continue;
    long number = 0;
    const auto [end, failed] = std::from_chars(name.data() + 3, name.data() + name.size(), number);
    if (failed != std::errc() || end != name.data() + name.size()) continue;
    std::string governor = chosen_setting(file_text(entry.path() / "cpufreq/scaling_governor"));
    if (!governor.empty()) governors.emplace(number, std::move(governor));
  }
  for (auto& [number, governor] : governors) state.governors.push_back(std::move(governor));
  state.huge_pages = chosen_setting(file_text(root / "sys/kernel/mm/transparent_hugepage/enabled"));
  return state;
}

std::optional<LoadAverage> parse_load_average(std::string_view text) {
  const std::optional<double> one = next_number(text);
  if (!one) return std::nullopt;
  LoadAverage load{*one, next_number(text), std::nullopt};
  if (load.five_minutes) load.fifteen_minutes = next_number(text);
  return load;
}

std::string chosen_setting(std::string_view text) {
  const std::size_t open = text.find('[');
  const std::size_t close = text.find(']', open);
  if (open != std::string_view::npos && close != std::string_view::npos) {
    return std::string(text.substr(open + 1, close - open - 1));
  }
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

}  // namespace study::os
