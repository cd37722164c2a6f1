// The layout of a run folder, named once: every file the study writes or
// reads there, the files the programs leave in their folders, and the
// environment through which the study asks a program for its record and
// seed. The study, its readers and the tests take these names from here.
//
//   results/<date>-<time>/          context.txt summary.txt index.html
//                                   results.json results.csv timings.txt
//     <program>/                    vystup.out console.txt record.csv vystup.csv
//                                   *.svg vstup.in.sha256 counts.csv
//     <program>/repeat-K/           the same, one folder per repeat
//     <program>/median-*.svg        charts of the medians over the repeats
//   results/compare-<date>-<time>/  summary.txt context.txt *.svg
#pragma once

#include <string_view>

#include "kit/environment_names.hpp"
#include "kit/file_names.hpp"

namespace study::run_files {

// The run folder's own files.
inline constexpr const char* kContextFile = "context.txt";
inline constexpr const char* kSummaryFile = "summary.txt";
inline constexpr const char* kIndexPage = "index.html";
inline constexpr const char* kResultsJsonFile = "results.json";
inline constexpr const char* kResultsCsvFile = "results.csv";
// Each program's last complete run, for the next study's estimate.
inline constexpr const char* kTimingsFile = "timings.txt";

// A program's folder.
inline constexpr const char* kResultsFile = kit::kResultsFileName;
inline constexpr const char* kInputFile = kit::kInputFileName;
inline constexpr const char* kInputDigestFile = "vstup.in.sha256";
// The hash is named after the input it describes.
static_assert(std::string_view(kInputDigestFile).starts_with(kInputFile), "the digest names its input");
inline constexpr const char* kRecordFile = "record.csv";
// What the program wrote on its console.
inline constexpr const char* kConsoleFile = "console.txt";
// The work a replay counted in each cell (--explain), its charts' stem, and
// the answers with their why when a folder is explained after its study.
inline constexpr const char* kCountsFile = "counts.csv";
inline constexpr const char* kWorkChartStem = "work";
inline constexpr const char* kExplainFile = "explain.txt";
// The stem of the charts of a program's medians over its repeats.
inline constexpr const char* kMedianChartStem = "median";

// Beside the programs: how they were built.
inline constexpr const char* kBuildInfoFile = "build-info.txt";

// The environment of a program the study starts.
inline constexpr const char* kRecordVariable = kit::kRecordVariable;
inline constexpr const char* kSeedVariable = kit::kSeedVariable;

}  // namespace study::run_files
