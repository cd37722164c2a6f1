// Read, check and chart one results file: what resultchart does per argument
// and study does after each program.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "study/result_file.hpp"

namespace study {

struct ChartJob {
  bool ok = false;
  bool empty_file = false;
  // On failure "FILE:LINE: what was expected" (or "FILE: ..."); on success a
  // one-line description of what was read.
  std::string message;
  std::optional<ResultFile> result;
  std::vector<std::filesystem::path> written;
};

ChartJob chart_results_file(const std::filesystem::path& path);

}  // namespace study
