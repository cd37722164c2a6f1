// What every layer shares of the machine's state: the tests' stand-in, and
// the reading of Linux's files, which the Linux layer does under "/".
#include "study/os/machine_state.hpp"

#include <algorithm>
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

}  // namespace

MachineState machine_state() {
  const char* root = std::getenv("SORTBENCH_MACHINE_ROOT");
  return root != nullptr && *root != '\0' ? linux_machine_state(root) : system_machine_state();
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
