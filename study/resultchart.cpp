// resultchart FILE...: reads results files ("vystup.out" of any program of
// the suite) and writes SVG charts and a CSV of the cells beside each one.
#include <cstdio>
#include <cstring>
#include <string>

#include "kit/runtime_error.hpp"
#include "study/chart_job.hpp"

int main(int argc, char** argv) {
  kit::prepare_process();
  kit::ActiveRoutine routine("resultchart");
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fputs(
        "usage: resultchart FILE...\n"
        "Reads each results file (vystup.out) of smallsix, smallfive, tallyduel, tallygrid,\n"
        "cutoffwide or cutoffnarrow and writes beside it SVG charts (<stem>-*.svg) and the\n"
        "cells as CSV (<stem>.csv: program,table,row_label,column_label,seconds).\n",
        argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  int failures = 0;
  for (int i = 1; i < argc; ++i) {
    const study::ChartJob job = study::chart_results_file(argv[i]);
    if (!job.ok) {
      std::fprintf(stderr, "resultchart: %s\n", job.message.c_str());
      ++failures;
      continue;
    }
    std::printf("%s: %s\n", argv[i], job.message.c_str());
    for (const auto& path : job.written) std::printf("  %s\n", path.c_str());
  }
  return failures == 0 ? 0 : 1;
}
