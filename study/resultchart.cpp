// resultchart FILE...: reads results files ("vystup.out" of any program of
// the suite) and writes SVG charts and a CSV of the cells beside each one.
#include <fmt/format.h>

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "analysis/programs/suite_programs.hpp"
#include "study/charts/chart_job.hpp"
#include "study/charts/result_charts.hpp"
#include "study/os/tool_console.hpp"
#include "study/os/tool_error.hpp"

namespace {

constexpr int kUsageError = 2;
constexpr const char* kUsage = "usage: resultchart FILE...";

// CLI11's help, opened by the usage line.
class ResultchartHelp final : public CLI::Formatter {
 public:
  std::string make_description(const CLI::App* app) const override {
    return std::string(kUsage) + "\n" + CLI::Formatter::make_description(app);
  }
  std::string make_usage(const CLI::App*, std::string) const override { return ""; }
};

std::vector<std::string> parse_files(int argc, char** argv) {
  std::vector<std::string> files;
  CLI::App app(
      "Reads each results file (vystup.out) of a program of the suite and writes beside it\n"
      "SVG charts (<stem>-*.svg) and the cells as CSV (<stem>.csv:\n"
      "program,table,row_label,column_label,seconds). A file that cannot be read is\n"
      "reported as FILE:LINE: what was expected, and nothing is written for it.",
      "resultchart");
  app.formatter(std::make_shared<ResultchartHelp>());
  app.add_option("FILE", files, "results files")->type_name("")->required();
  app.footer("Programs: " + analysis::suite_program_names());
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success&) {
    study::say(app.help());
    std::exit(0);
  } catch (const CLI::ParseError& error) {
    study::complain(fmt::format("resultchart: {}\n{}\n", error.what(), kUsage));
    std::exit(kUsageError);
  }
  return files;
}

// Charts one file; false, having said why, when it could not.
bool chart(const std::string& file) {
  study::ChartJob job;
  try {
    study::chart_results_file(file, job);
  } catch (const study::ToolError& error) {
    study::complain(fmt::format("resultchart: {}\n", error.what()));
    return false;
  } catch (const std::exception& error) {
    study::complain(fmt::format("resultchart: {}: cannot chart it: {}\n", file, error.what()));
    return false;
  }
  if (!job.rejection.empty()) {
    study::complain(fmt::format("resultchart: {}\n", job.rejection));
    return false;
  }
  std::string report =
      fmt::format("{}: {}, {} time cells\n", file, study::program_of(*job.result, file), job.result->cell_count());
  for (const std::filesystem::path& path : job.written) report += fmt::format("  {}\n", path.string());
  study::say(report);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  study::prepare_tool_process();
  int failures = 0;
  for (const std::string& file : parse_files(argc, argv)) failures += chart(file) ? 0 : 1;
  return failures == 0 ? 0 : 1;
}
