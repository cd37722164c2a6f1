#include "study/chart_job.hpp"

#include <cstring>

#include "study/output_files.hpp"
#include "study/result_charts.hpp"

namespace study {

ChartJob chart_results_file(const std::filesystem::path& path) {
  ChartJob job;
  const FileText file = read_whole_file(path);
  if (!file.text) {
    job.message = path.string() + ": cannot read the file: " + std::strerror(file.error);
    return job;
  }
  ParseOutcome outcome = parse_result_file(*file.text);
  if (!outcome.result) {
    job.empty_file = outcome.empty_file;
    job.message = path.string() + (outcome.error.line > 0 ? ":" + std::to_string(outcome.error.line) : "") + ": " +
                  outcome.error.message;
    return job;
  }
  job.written = write_charts(*outcome.result, path);
  std::size_t cells = 0;
  for (const CellTable& table : outcome.result->tables) cells += table.hundredths.size();
  cells += outcome.result->inputs.size() * 2;
  job.message = program_of(*outcome.result, path) + ", " + std::to_string(cells) + " time cells";
  job.result = std::move(outcome.result);
  job.ok = true;
  return job;
}

}  // namespace study
