#include "study/page/summary_table.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>

#include "analysis/text/text_format.hpp"
#include "analysis/text/text_table.hpp"
#include "analysis/verdicts/answers_text.hpp"
#include "kit/file_names.hpp"
#include "study/os/program.hpp"

namespace study {
namespace {

// Pads to `width` characters, not bytes, so the table stays straight.
std::string padded(std::string text, std::size_t width) {
  std::size_t shown = 0;
  for (unsigned char c : text) shown += (c & 0xC0) != 0x80;
  if (shown < width) text.append(width - shown, ' ');
  return text;
}

std::string right(std::string text, std::size_t width) {
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

// The hash's first digits tell two files apart at a glance; the hash file holds all of it.
constexpr std::size_t kShownHashDigits = 12;

// A line for an input file the study removed, or meant to and could not;
// none for one kept on request.
std::string input_file_line(const ProgramRun& run) {
  if (!run.input) return {};
  const InputFileNote& input = *run.input;
  if (!input.failure.empty()) return fmt::format("{}: {} kept: {}", run.label(), kit::kInputFileName, input.failure);
  if (!input.removed) return {};
  return fmt::format(
      "{}: {} removed after the run ({} bytes, SHA-256 {}...); study --keep-inputs --replay <this run folder> {} "
      "regenerates it",
      run.label(), kit::kInputFileName, analysis::with_thousands(input.bytes), input.sha256.substr(0, kShownHashDigits),
      run.program->name);
}

// A line of words, broken within the summary's width; its later lines are
// indented so that each note still reads as one.
std::string summary_line(std::string_view text) { return analysis::wrapped(text, analysis::kSummaryWidth, "", "  "); }

}  // namespace

SummaryRow summary_row(const ProgramRun& run) {
  SummaryRow row{run.label(), run.status, "-", "-", "-", "-"};
  if (!run.ran()) return row;
  row.wall = analysis::clock_text(run.wall_seconds);
  row.memory = run.peak_resident_bytes ? analysis::megabytes(*run.peak_resident_bytes) : "unknown";
  if (const auto hundredths = run.cell_hundredths()) {
    const double cells = static_cast<double>(*hundredths) / 100.0;
    row.cells = analysis::seconds_text(*hundredths) + " s";
    const double overhead = run.wall_seconds - cells;
    row.overhead = analysis::fixed(overhead, 2) + " s";
    if (run.wall_seconds > 0) row.overhead += " (" + analysis::fixed(100.0 * overhead / run.wall_seconds, 1) + "%)";
  }
  return row;
}

std::string verdict_text(const StudyRun& study) {
  std::string text = analysis::answers_text(study.answers);
  if (!text.empty() && !study.incomplete_runs.empty()) text += "\n";
  for (const std::string& run : study.incomplete_runs) {
    text += summary_line("incomplete, not counted: " + run);
  }
  for (const std::string& failure : study.export_failures) text += summary_line("study: " + failure);
  return text;
}

std::string summary_text(const StudyRun& study) {
  std::string text = summary_table_text(study);
  for (const std::string& warning : study.warnings) text += summary_line("WARNING: " + warning);
  if (!study.answers.empty() || !study.incomplete_runs.empty()) text += "\n" + verdict_text(study);
  return text;
}

std::string summary_table_text(const StudyRun& study) {
  std::vector<SummaryRow> rows{{"program", "status", "wall time", "peak memory", "time cells", "overhead"}};
  for (const ProgramRun& run : study.programs) rows.push_back(summary_row(run));
  std::array<std::size_t, 6> widths{};
  for (const SummaryRow& row : rows) {
    const std::array<const std::string*, 6> cells{&row.program, &row.status, &row.wall,
                                                  &row.memory,  &row.cells,  &row.overhead};
    for (std::size_t i = 0; i < cells.size(); ++i) widths[i] = std::max(widths[i], cells[i]->size());
  }
  std::string text;
  for (const SummaryRow& row : rows) {
    text += padded(row.program, widths[0]) + "  " + padded(row.status, widths[1]) + "  " + right(row.wall, widths[2]) +
            "  " + right(row.memory, widths[3]) + "  " + right(row.cells, widths[4]) + "  " + row.overhead + "\n";
  }
  for (const std::string& note : summary_notes(study)) text += summary_line(note);
  return text;
}

std::vector<std::string> summary_notes(const StudyRun& study) {
  std::vector<std::string> notes;
  for (const ProgramRun& run : study.programs) {
    if (!run.detail.empty()) notes.push_back(fmt::format("{}: {}", run.label(), run.detail));
    for (const std::string& failure : run.study_failures) {
      notes.push_back(fmt::format("{}: results incomplete: {}", run.label(), failure));
    }
    if (std::string line = input_file_line(run); !line.empty()) notes.push_back(std::move(line));
  }
  notes.emplace_back("time cells: the sum of the times the program reported;");
  notes.emplace_back("overhead: wall time less that sum (data generation, copying, clearing, start-up and output).");
  if (!study.until_decided.empty()) notes.push_back("until decided: " + study.until_decided);
  const bool peak_unknown = std::any_of(study.programs.begin(), study.programs.end(),
                                        [](const ProgramRun& run) { return run.ran() && !run.peak_resident_bytes; });
  if (peak_unknown) notes.push_back("peak memory unknown: " + std::string(os::unknown_peak_reason()));
  return notes;
}

}  // namespace study
