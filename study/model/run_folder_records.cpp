#include "study/model/run_folder_records.hpp"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "study/model/record_file.hpp"
#include "study/model/repeat_folders.hpp"
#include "study/model/run_folder_layout.hpp"
#include "study/os/machine.hpp"
#include "study/os/tool_error.hpp"

namespace study {
namespace {

void add_run(analysis::MeasurementSet& set, analysis::RecordedRun run, bool complete, const std::string& source) {
  try {
    for (analysis::Measurement& measurement : run.measurements) {
      measurement.complete = complete;
      set.add(std::move(measurement));
    }
  } catch (const std::invalid_argument& error) {
    throw ToolError(source + ": " + error.what());
  }
}

}  // namespace

StudyMeasurements read_study_records(const std::filesystem::path& run_folder, const std::vector<ProgramRun>& runs) {
  StudyMeasurements result;
  for (const ProgramRun& run : runs) {
    const std::filesystem::path path = run_folder / run.folder / run_files::kRecordFile;
    std::optional<analysis::RecordedRun> record = run.ran() ? read_record(path, run.repeat) : std::nullopt;
    if (!record || record->measurements.empty()) {
      std::string reason(state_word(run));
      if (!run.detail.empty()) reason += " (" + run.detail + ")";
      result.unrecorded.push_back(run.label() + ": " + reason + ", no record");
      continue;
    }
    const bool complete = run.status == "0" && record->all_windows();
    add_run(result.set, std::move(*record), complete, path.string());
  }
  return result;
}

analysis::MeasurementSet read_run_folder(const std::filesystem::path& run_folder) {
  analysis::MeasurementSet set;
  for (const analysis::SuiteProgram& program : analysis::kSuitePrograms) {
    int repeat = 0;
    for (const std::filesystem::path& folder : recorded_repeat_folders(run_folder, program.name)) {
      ++repeat;
      const std::filesystem::path path = folder / run_files::kRecordFile;
      std::optional<analysis::RecordedRun> record = read_record(path, repeat);
      if (!record || record->measurements.empty()) continue;
      // Without the exit status, a record that holds all its windows is a finished run.
      const bool complete = record->all_windows();
      add_run(set, std::move(*record), complete, path.string());
    }
  }
  return set;
}

analysis::RunContext benchmark_context(const Context& context, const std::string& executable) {
  analysis::RunContext result;
  result.date = context_value(context, "date");
  result.host_name = os::host_name();
  result.executable = executable;
  result.num_cpus = std::max(1, os::processor_count());
  std::string build_type = context_value(context, "build type");
  std::transform(build_type.begin(), build_type.end(), build_type.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (!build_type.empty()) result.library_build_type = build_type;
  for (const auto& [key, value] : context) {
    std::string name = key;
    std::replace(name.begin(), name.end(), ' ', '_');
    result.extra.emplace_back(name, value);
  }
  return result;
}

}  // namespace study
