#include "study/session/study_reports.hpp"

#include <fmt/format.h>

#include <algorithm>

#include "analysis/export/benchmark_json.hpp"
#include "analysis/export/long_csv.hpp"
#include "study/charts/precise_times.hpp"
#include "study/charts/result_charts.hpp"
#include "study/model/run_folder_layout.hpp"
#include "study/model/run_folder_records.hpp"
#include "study/os/output_files.hpp"
#include "study/os/tool_console.hpp"
#include "study/os/tool_error.hpp"
#include "study/page/index_page.hpp"
#include "study/page/summary_table.hpp"

namespace study {

void StudyReports::write_context(const StudyRun& study) {
  try {
    write_file_atomically(run_folder_ / run_files::kContextFile, context_text(study.context));
  } catch (const ToolError& error) {
    // Rewritten after each program: said once.
    if (pages_written_) complain(fmt::format("study: {}\n", error.what()));
    pages_written_ = false;
  }
}

void StudyReports::write_pages(const StudyRun& study, bool final) {
  summary_ = summary_text(study);
  const bool summary = write_page(run_folder_ / run_files::kSummaryFile, summary_, final);
  const bool index = write_page(run_folder_ / run_files::kIndexPage, index_html(study), final);
  if (final && !(summary && index)) pages_written_ = false;
}

bool StudyReports::write_page(const std::filesystem::path& path, const std::string& content, bool final) {
  try {
    write_file_atomically(path, content);
    return true;
  } catch (const ToolError& error) {
    // While programs run, the page of the last program stays until the next try.
    if (!final) return false;
    // The earlier page describes a run still in progress: it makes room and goes.
    std::error_code ignored;
    if (std::filesystem::remove(path, ignored)) {
      try {
        write_file_atomically(path, content);
        return true;
      } catch (const ToolError&) {
      }
    }
    complain(fmt::format("study: {}\n", error.what()));
    return false;
  }
}

void StudyReports::write_exports(StudyRun& study, const analysis::RunModel& model, const std::string& study_executable,
                                 const std::vector<analysis::ProgramWork>& work) {
  try {
    write_file_atomically(run_folder_ / run_files::kResultsJsonFile,
                          analysis::benchmark_json(model, benchmark_context(study.context, study_executable), work));
    write_file_atomically(run_folder_ / run_files::kResultsCsvFile, analysis::long_csv(model.measurements));
  } catch (const ToolError& error) {
    study.export_failures.push_back(error.what());
  }
  write_median_charts(study, model);
}

void StudyReports::write_median_charts(StudyRun& study, const analysis::RunModel& model) {
  std::vector<const analysis::SuiteProgram*> programs;
  for (const ProgramRun& run : study.programs) {
    if (std::find(programs.begin(), programs.end(), run.program) == programs.end()) programs.push_back(run.program);
  }
  for (const analysis::SuiteProgram* program : programs) {
    const std::string name(program->name);
    const analysis::ProgramGrid* grid = model.program(name);
    if (grid == nullptr || grid->repeats() < 2) continue;
    // The layout of the charts: the tables of any repeat the study read back.
    const auto shown = std::find_if(study.programs.begin(), study.programs.end(), [&](const ProgramRun& run) {
      return run.program == program && run.results.has_value();
    });
    if (shown == study.programs.end()) continue;
    MedianCharts medians{name, grid->repeats(), {}};
    const PreciseTimes precise(*grid);
    try {
      for (const ChartFile& chart : build_charts(*shown->results, run_files::kMedianChartStem, name, precise)) {
        const std::filesystem::path relative = std::filesystem::path(name) / chart.file_name;
        write_file_atomically(run_folder_ / relative, chart.content);
        medians.charts.push_back(relative.generic_string());  // a link of the page
      }
    } catch (const ToolError& error) {
      study.export_failures.push_back(error.what());
    } catch (const std::exception& error) {
      // A fault of the chart code itself must not cost the rest of the study.
      study.export_failures.push_back(fmt::format("cannot chart the medians of {}: {}", name, error.what()));
    }
    study.median_charts.push_back(std::move(medians));
  }
}

void StudyReports::write_timings(const Timelines& runs) {
  if (runs.empty()) return;
  try {
    write_file_atomically(run_folder_ / run_files::kTimingsFile, timings_text(runs));
  } catch (const ToolError& error) {
    // Only the next study's first estimate misses it.
    complain(fmt::format("study: {}\n", error.what()));
  }
}

}  // namespace study
