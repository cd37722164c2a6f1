// The precise records of a finished study, read back as the measurements
// of its runs: a run counts when the program exited with status 0 and its
// record holds every window it meant to measure. Runs that do not count
// keep what they recorded, marked incomplete, so they are reported and
// never averaged in.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "analysis/export/benchmark_json.hpp"
#include "analysis/records/measurement.hpp"
#include "study/model/build_context.hpp"
#include "study/model/study_run.hpp"

namespace study {

struct StudyMeasurements {
  analysis::MeasurementSet set;
  std::vector<std::string> unrecorded;  // runs that left no record: "tallygrid repeat 2: failed (...)"
};

// Throws ToolError when a record cannot be read or is not one.
StudyMeasurements read_study_records(const std::filesystem::path& run_folder, const std::vector<ProgramRun>& runs);

// Every record under a run folder the study made, of any of the six
// programs: what a comparison reads.
analysis::MeasurementSet read_run_folder(const std::filesystem::path& run_folder);

// The context of results.json from the study's context lines.
analysis::RunContext benchmark_context(const Context& context, const std::string& executable);

}  // namespace study
