#include "study/estimate/run_timings.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <utility>
#include <vector>

#include "study/model/run_folder_layout.hpp"
#include "study/os/output_files.hpp"

namespace study {
namespace {

// A timings file is a few kilobytes; anything far larger is not one.
constexpr std::size_t kLargestTimings = std::size_t{1} << 20;

std::vector<std::string_view> words_of(std::string_view line) {
  std::vector<std::string_view> words;
  while (!line.empty()) {
    const std::size_t start = line.find_first_not_of(" \t\r");
    if (start == std::string_view::npos) break;
    line.remove_prefix(start);
    const std::size_t end = std::min(line.find_first_of(" \t\r"), line.size());
    words.push_back(line.substr(0, end));
    line.remove_prefix(end);
  }
  return words;
}

std::optional<double> seconds_of(std::string_view word) {
  double value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc() || end != word.data() + word.size() || !(value >= 0)) return std::nullopt;
  return value;
}

std::optional<std::pair<const analysis::SuiteProgram*, Timeline>> timeline_of(std::string_view line) {
  const std::vector<std::string_view> words = words_of(line);
  if (words.size() < 2) return std::nullopt;
  const analysis::SuiteProgram* program = analysis::find_suite_program(words[0]);
  if (program == nullptr || words.size() != 2 + static_cast<std::size_t>(program->progress_steps)) {
    return std::nullopt;
  }
  const std::optional<double> whole = seconds_of(words[1]);
  if (!whole) return std::nullopt;
  Timeline timeline{*whole, {0.0}};
  for (std::size_t i = 2; i < words.size(); ++i) {
    const std::optional<double> at = seconds_of(words[i]);
    if (!at || *at < timeline.at_step.back() || *at > *whole) return std::nullopt;
    timeline.at_step.push_back(*at);
  }
  return std::pair{program, std::move(timeline)};
}

}  // namespace

std::string timings_text(const Timelines& runs) {
  std::string text;
  for (const auto& [name, run] : runs) {
    text += fmt::format("{} {:.3f}", name, run.whole);
    // Step 0 is the start of the run.
    for (std::size_t s = 1; s < run.at_step.size(); ++s) text += fmt::format(" {:.3f}", run.at_step[s]);
    text += '\n';
  }
  return text;
}

Timelines parse_timings(std::string_view text) {
  Timelines runs;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    if (auto found = timeline_of(text.substr(0, end))) runs[std::string(found->first->name)] = found->second;
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return runs;
}

Timelines earlier_timings(const std::filesystem::path& results, const std::filesystem::path& own) {
  // Newest first by the file's own time, whatever the folders are called.
  std::vector<std::pair<std::filesystem::file_time_type, std::filesystem::path>> files;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(results, error), end; !error && entry != end; entry.increment(error)) {
    if (entry->path() == own) continue;
    const std::filesystem::path file = entry->path() / run_files::kTimingsFile;
    std::error_code unreadable;
    const auto written = std::filesystem::last_write_time(file, unreadable);
    if (!unreadable) files.emplace_back(written, file);
  }
  std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  Timelines runs;
  for (const auto& [written, file] : files) {
    const FileText text = read_whole_file(file, kLargestTimings);
    if (!text.text) continue;
    for (auto& [name, run] : parse_timings(*text.text)) runs.try_emplace(name, std::move(run));
  }
  return runs;
}

}  // namespace study
