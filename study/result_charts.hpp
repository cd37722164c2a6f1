// The charts and the CSV made from one results file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "study/result_file.hpp"

namespace study {

struct ChartFile {
  std::string file_name;  // "<stem>-<chart>.svg" or "<stem>.csv"
  std::string title;
  std::string content;
};

// The SVG charts of one results file, named after `stem` (the results file's
// name without its extension). `program` names the program in titles when
// the file's layout did not.
std::vector<ChartFile> build_charts(const ResultFile& result, std::string_view stem, std::string_view program);

// One line per time cell: program, table, row label, column label, seconds.
// In tallyduel's rows the table is the algorithm, the row the count and the
// column the value range, as in tallygrid's.
std::string build_csv(const ResultFile& result, std::string_view program);

// Writes the charts and "<stem>.csv" beside `results_path`; returns the
// names written, CSV last.
std::vector<std::filesystem::path> write_charts(const ResultFile& result, const std::filesystem::path& results_path);

// The program a results file belongs to: the one its layout names, else the
// name of the folder it lies in.
std::string program_of(const ResultFile& result, const std::filesystem::path& results_path);

}  // namespace study
