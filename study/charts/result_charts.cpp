#include "study/charts/result_charts.hpp"

#include "analysis/export/csv_writer.hpp"
#include "study/charts/chart_data.hpp"
#include "study/charts/family_charts.hpp"
#include "study/os/output_files.hpp"

namespace study {

std::vector<ChartFile> build_charts(const analysis::ResultFile& result, std::string_view stem, std::string_view program,
                                    const PreciseTimes& precise) {
  const ChartData data(result, precise);
  switch (result.family) {
    case analysis::ProgramFamily::small_arrays:
      return {small_arrays_chart(data, stem, program)};
    case analysis::ProgramFamily::file_duel:
      return {duel_chart(data, stem, program)};
    case analysis::ProgramFamily::grid_duel:
      return {grid_heat_map(data, stem, program), grid_times_by_range(data, stem, program)};
    case analysis::ProgramFamily::cutoff:
      return {cutoff_chart(data, stem, program)};
  }
  return {};
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
