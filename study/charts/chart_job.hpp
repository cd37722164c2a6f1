// Read, check and chart one results file: what resultchart does per argument
// and study does after each program.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "analysis/records/result_file.hpp"

namespace study {

struct ChartJob {
  std::string text;                            // the file as read
  std::optional<analysis::ResultFile> result;  // the file's cells, when it is well formed
  // Why the file was not charted: "FILE:LINE: what was expected", or "FILE: ..."
  // when the file as a whole is at fault. Nothing is written then.
  std::string rejection;
  std::vector<std::filesystem::path> written;  // charts and CSV now in place
};

// A results file of the suite holds a few kilobytes; a file larger than
// this is not read at all.
inline constexpr std::size_t kLargestResultsFile = std::size_t{1} << 20;

// Reads `path`, checks it and writes its charts and CSV beside it, filling
// `job` as it goes. A chart or the CSV that cannot be written throws
// ToolError; `job.written` then names the files written before it.
void chart_results_file(const std::filesystem::path& path, ChartJob& job);

}  // namespace study
