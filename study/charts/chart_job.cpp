#include "study/charts/chart_job.hpp"

#include <fmt/format.h>

#include "analysis/text/text_format.hpp"
#include "study/charts/result_charts.hpp"
#include "study/os/output_files.hpp"
#include "study/os/tool_error.hpp"

namespace study {

void chart_results_file(const std::filesystem::path& path, ChartJob& job) {
  FileText file = read_whole_file(path, kLargestResultsFile);
  if (file.too_large) {
    job.rejection = fmt::format("{}: the file holds more than {} bytes, far more than any results file", path.string(),
                                analysis::with_thousands(static_cast<std::int64_t>(kLargestResultsFile)));
    return;
  }
  if (!file.text) {
    job.rejection = fmt::format("{}: cannot read the file: {}", path.string(), error_text(file.error));
    return;
  }
  job.text = std::move(*file.text);
  analysis::ParseOutcome outcome = analysis::parse_result_file(job.text);
  if (!outcome.result) {
    job.rejection = outcome.error.line > 0
                        ? fmt::format("{}:{}: {}", path.string(), outcome.error.line, outcome.error.message)
                        : fmt::format("{}: {}", path.string(), outcome.error.message);
    return;
  }
  job.result = std::move(outcome.result);
  write_charts(*job.result, path, job.written);
}

}  // namespace study
