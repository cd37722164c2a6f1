#include "study/session/run_compare.hpp"

#include <fmt/format.h>

#include <algorithm>

#include "analysis/statistics/run_comparison.hpp"
#include "analysis/text/text_table.hpp"
#include "analysis/verdicts/answers_text.hpp"
#include "study/charts/ratio_chart_svg.hpp"
#include "study/model/run_folder.hpp"
#include "study/model/run_folder_layout.hpp"
#include "study/model/run_folder_records.hpp"
#include "study/os/output_files.hpp"
#include "study/os/tool_console.hpp"
#include "study/os/tool_error.hpp"

namespace study {
namespace {

// A key the other context has and this one lacks shows as "-".
std::string value_of(const Context& context, std::string_view key) {
  std::string value = context_value(context, key);
  return value.empty() ? "-" : value;
}

analysis::RunModel read_run(const std::filesystem::path& run) {
  if (!std::filesystem::is_directory(run)) throw ToolError("no run folder " + run.string());
  analysis::MeasurementSet set = read_run_folder(run);
  if (set.empty()) throw ToolError(run.string() + " holds no record of a run (was it made by study?)");
  return analysis::run_model(std::move(set));
}

}  // namespace

std::string contexts_side_by_side(const Context& a, const Context& b) {
  std::vector<std::string> keys;
  for (const Context* context : {&a, &b}) {
    for (const auto& pair : *context) {
      if (std::find(keys.begin(), keys.end(), pair.first) == keys.end()) keys.push_back(pair.first);
    }
  }
  std::size_t key_width = 0, a_width = 1;
  for (const std::string& key : keys) {
    key_width = std::max(key_width, key.size());
    a_width = std::max(a_width, value_of(a, key).size());
  }
  std::string text = fmt::format("  {:<{}}  {:<{}}  {}\n", "", key_width, "A", a_width, "B");
  for (const std::string& key : keys) {
    const std::string left = value_of(a, key), right = value_of(b, key);
    text += fmt::format("{} {:<{}}  {:<{}}  {}\n", left == right ? ' ' : '*', key, key_width, left, a_width, right);
  }
  return text + "* the two runs differ here\n";
}

int compare_study_runs(const CompareOptions& options) {
  try {
    const analysis::RunModel a = read_run(options.run_a);
    const analysis::RunModel b = read_run(options.run_b);
    analysis::RunComparison comparison;
    try {
      comparison = analysis::compare_runs(a, b);
    } catch (const analysis::ComparisonRefused& refusal) {
      throw ToolError(
          fmt::format("cannot compare {} with {}: {}", options.run_a.string(), options.run_b.string(), refusal.what()));
    }
    const std::filesystem::path folder = make_run_folder(options.results, "compare-");
    std::string summary = fmt::format("A: {}\nB: {}\n{}\n\n", options.run_a.string(), options.run_b.string(),
                                      analysis::kSeparateStudiesNote);
    for (const analysis::ProgramComparison& program : comparison.programs) {
      summary += analysis::wrapped(analysis::summary_line(program), analysis::kSummaryWidth, "", "  ");
      write_file_atomically(folder / (program.program + "-ratio.svg"),
                            ratio_chart_svg(program.program, analysis::ratio_chart(program)));
    }
    write_file_atomically(folder / run_files::kSummaryFile, summary);
    write_file_atomically(folder / run_files::kContextFile,
                          contexts_side_by_side(read_context(options.run_a), read_context(options.run_b)));
    say(summary + fmt::format("\nComparison, contexts and ratio charts: {}\n", folder.string()));
    return 0;
  } catch (const ToolError& error) {
    complain(fmt::format("study: {}\n", error.what()));
    return 1;
  }
}

}  // namespace study
