#include "study/run/progress_tracker.hpp"

#include <algorithm>

namespace study {
namespace {

// Longer lines are kept only this far: no progress line comes near it.
constexpr std::size_t kLongestKeptLine = 4096;

bool all_digits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

void ProgressTracker::feed(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t lf = bytes.find('\n');
    const std::size_t room = kLongestKeptLine - std::min(partial_.size(), kLongestKeptLine);
    if (lf == std::string_view::npos) {
      partial_.append(bytes.substr(0, room));
      return;
    }
    partial_.append(bytes.substr(0, std::min(lf, room)));
    std::string_view text = partial_;
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    line(text);
    partial_.clear();
    bytes.remove_prefix(lf + 1);
  }
}

void ProgressTracker::line(std::string_view text) {
  if (text.starts_with("Runtime error ")) {
    if (runtime_error_.empty()) runtime_error_ = text;
    return;
  }
  switch (family_) {
    case analysis::ProgramFamily::small_arrays:  // "I": one line per array length
      if (all_digits(text)) ++steps_;
      break;
    case analysis::ProgramFamily::file_duel:  // the last line of one input's report block
      if (text.starts_with(analysis::kReportBlock.second_time)) ++steps_;
      break;
    case analysis::ProgramFamily::grid_duel:
    case analysis::ProgramFamily::cutoff: {  // "I J": one line per (row, column) cell
      const std::size_t space = text.find(' ');
      if (space != std::string_view::npos && all_digits(text.substr(0, space)) && all_digits(text.substr(space + 1))) {
        ++steps_;
      }
      break;
    }
  }
}

}  // namespace study
