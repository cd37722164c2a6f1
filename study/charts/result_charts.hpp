// The charts and the CSV made from one results file, whichever form it has.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/records/result_file.hpp"
#include "study/charts/chart_file.hpp"
#include "study/charts/precise_times.hpp"

namespace study {

// The SVG charts of one results file, named after `stem` (the results file's
// name without its extension). `program` names the program in titles. With
// precise times the charts draw those instead of the cells, which are only
// the layout then.
std::vector<ChartFile> build_charts(const analysis::ResultFile& result, std::string_view stem, std::string_view program,
                                    const PreciseTimes& precise = {});

// Writes the charts and then "<stem>.csv" beside `results_path`, adding each
// file to `written` once it is in place. The charts draw the precise times
// of the record beside the file, when it is the record of the same run. A
// failed write throws ToolError; what `written` holds by then stays on disk.
void write_charts(const analysis::ResultFile& result, const std::filesystem::path& results_path,
                  std::vector<std::filesystem::path>& written);

// The program a results file belongs to: the one its layout names, else the
// name of the folder it lies in.
std::string program_of(const analysis::ResultFile& result, const std::filesystem::path& results_path);

}  // namespace study
