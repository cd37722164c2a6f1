#include "study/run/status_line.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <string>

#include "analysis/text/text_format.hpp"
#include "study/os/tool_console.hpp"

namespace study {
namespace {

constexpr int kBarWidth = 24;

}  // namespace

void StatusLine::show(const analysis::SuiteProgram& program, int steps, double elapsed, double share,
                      std::string_view ending, std::string_view note) {
  const int total = std::max(program.progress_steps, 1);
  const double done = share > 0 ? std::min(share, 1.0) : 0.0;  // also when it is not a number
  const int filled =
      steps >= total ? kBarWidth : std::max(last_filled_, std::min(static_cast<int>(kBarWidth * done), kBarWidth - 1));
  std::string line = fmt::format("  {:<14}[{}{}] {:>3}/{:<3}  {}", program.name, std::string(filled, '#'),
                                 std::string(kBarWidth - filled, '.'), steps, total, analysis::clock_text(elapsed));
  if (!note.empty()) line += fmt::format("  {}", note);
  if (!ending.empty()) line += fmt::format("  {}", ending);
  if (terminal_) {
    say("\r\033[K" + line + (ending.empty() ? "" : "\n"));
  } else if (steps != last_steps_ || !ending.empty()) {
    say(line + "\n");
  }
  last_steps_ = ending.empty() ? steps : -1;
  last_filled_ = ending.empty() ? filled : 0;
}

}  // namespace study
