#include "study/charts/result_charts.hpp"

#include "analysis/export/csv_writer.hpp"
#include "study/charts/chart_data.hpp"
#include "study/charts/family_charts.hpp"
#include "study/os/output_files.hpp"

namespace study {

std::vector<ChartFile> build_charts(const analysis::ResultFile& result, std::string_view stem, std::string_view program,
                                    const PreciseTimes& precise) {
  std::vector<ChartFile> charts;
  switch (result.family) {
    case analysis::ProgramFamily::small_arrays:
      charts.push_back(small_arrays_chart(result, stem, program, precise));
      break;
    case analysis::ProgramFamily::file_duel:
      charts.push_back(duel_chart(result, stem, program, precise));
      break;
    case analysis::ProgramFamily::grid_duel:
      charts.push_back(grid_heat_map(result, stem, program, precise));
      charts.push_back(grid_times_by_range(result, stem, program, precise));
      break;
    case analysis::ProgramFamily::cutoff:
      charts.push_back(cutoff_chart(result, stem, program, precise));
      break;
  }
  return charts;
}

void write_charts(const analysis::ResultFile& result, const std::filesystem::path& results_path,
                  std::vector<std::filesystem::path>& written) {
  const std::string program = program_of(result, results_path);
  const std::string stem = results_path.stem().string();
  const std::filesystem::path folder = results_path.parent_path();
  for (const ChartFile& chart : build_charts(result, stem, program, precise_times_beside(results_path, result))) {
    write_file_atomically(folder / chart.file_name, chart.content);
    written.push_back(folder / chart.file_name);
  }
  write_file_atomically(folder / (stem + ".csv"), analysis::build_csv(result, program));
  written.push_back(folder / (stem + ".csv"));
}

std::string program_of(const analysis::ResultFile& result, const std::filesystem::path& results_path) {
  if (result.program) return std::string(result.program->name);
  const std::string folder = std::filesystem::absolute(results_path).parent_path().filename().string();
  return folder.empty() ? "results" : folder;
}

}  // namespace study
