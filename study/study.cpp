// study [--bin DIR] [--results DIR] [--memory-limit SIZE] [PROGRAM...]
// Runs the programs of the suite one after another, each in its own folder
// of a new run folder results/<date>-<time>/, shows their progress, charts
// their results and ends with a summary and index.html.
#include <fmt/format.h>

#include "study/study_options.hpp"
#include "study/study_session.hpp"
#include "study/tool_console.hpp"
#include "study/tool_error.hpp"

int main(int argc, char** argv) {
  study::prepare_tool_process();
  const study::StudyOptions options = study::parse_study_options(argc, argv);
  try {
    study::StudySession session(options);
    session.run_programs();
    return session.finish();
  } catch (const study::ToolError& error) {
    study::complain(fmt::format("study: {}\n", error.what()));
    return 1;
  }
}
