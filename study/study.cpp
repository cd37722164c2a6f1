// study [--bin DIR] [--results DIR] [--memory-limit SIZE] [--repeat N]
//       [--seeds LIST | --replay RUN_FOLDER] [PROGRAM...]
// Runs the programs of the suite one after another, each in its own folder
// of a new run folder results/<date>-<time>/, shows their progress, charts
// their results and ends with a summary, index.html and, from the programs'
// precise records, results.json, results.csv and a verdict per program.
// study compare RUN_A RUN_B compares two such run folders; study
// compare-builds BIN_A BIN_B runs two builds in turn and compares them;
// study explain RUN_FOLDER counts the work behind a run folder's times.
#include <fmt/format.h>

#include "study/explain/work_explain.hpp"
#include "study/os/program.hpp"
#include "study/os/tool_console.hpp"
#include "study/os/tool_error.hpp"
#include "study/session/build_comparison.hpp"
#include "study/session/run_compare.hpp"
#include "study/session/study_session.hpp"
#include "study/study_options.hpp"

int main(int argc, char** argv) {
  study::prepare_tool_process();
  const study::StudyOptions options = study::parse_study_options(argc, argv);
  if (options.compare) return study::compare_study_runs(*options.compare);
  if (options.explain_folder) {
    return study::explain_study_folder(*options.explain_folder,
                                       study::os::program_file(options.programs, "study").string());
  }
  try {
    if (options.builds) {
      study::BuildComparison comparison(options);
      comparison.run_programs();
      return comparison.finish();
    }
    study::StudySession session(options);
    session.run_programs();
    return session.finish();
  } catch (const study::ToolError& error) {
    study::complain(fmt::format("study: {}\n", error.what()));
    return 1;
  }
}
