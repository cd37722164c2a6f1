#include "record_fixtures.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <map>
#include <string>
#include <utility>

#include "analysis/programs/suite_programs.hpp"
#include "analysis/records/recorded_run.hpp"
#include "kit/record/record_reader.hpp"
#include "support/test_support.hpp"

namespace fixtures {

std::vector<Run> runs(int count, std::uint32_t first_seed) {
  std::vector<Run> all;
  for (int i = 0; i < count; ++i) all.push_back(Run{i, first_seed + static_cast<std::uint32_t>(i), true});
  return all;
}

void add_cell_on_cpu(analysis::MeasurementSet& set, const Place& place, const std::vector<Run>& runs,
                     const std::vector<double>& nanoseconds, const std::vector<double>& cpu_shares) {
  // The kernel as a record reader finds it: from the program's facts.
  const analysis::SuiteProgram* facts = analysis::find_suite_program(place.program);
  const std::string kernel(facts != nullptr ? facts->kernel_of(place.table, place.column) : std::string_view());
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const auto ns = static_cast<std::int64_t>(nanoseconds[i]);
    analysis::Measurement window{place.program,  place.table,  place.row,       place.column, kernel,
                                 runs[i].repeat, runs[i].seed, ns / 10'000'000, ns,           runs[i].complete};
    if (!cpu_shares.empty()) {
      window.cpu_nanoseconds = static_cast<std::int64_t>(nanoseconds[i] * cpu_shares[i]);
      window.involuntary_switches = cpu_shares[i] < 1.0 ? 1 : 0;
    }
    set.add(std::move(window));
  }
}

void add_cell(analysis::MeasurementSet& set, const Place& place, const std::vector<Run>& runs,
              const std::vector<double>& nanoseconds) {
  add_cell_on_cpu(set, place, runs, nanoseconds, {});
}

std::vector<double> scaled(const std::vector<double>& values, double factor) {
  std::vector<double> result;
  for (const double v : values) result.push_back(v * factor);
  return result;
}

std::vector<double> times(const std::vector<double>& values, const std::vector<double>& factors) {
  std::vector<double> result;
  for (std::size_t i = 0; i < values.size(); ++i) result.push_back(values[i] * factors[i]);
  return result;
}

analysis::MeasurementSet recorded_runs(std::string_view folder) {
  namespace fs = std::filesystem;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(fs::path(RECORDED_RUNS_DIR) / folder)) {
    if (entry.path().extension() == ".csv") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  analysis::MeasurementSet set;
  std::map<std::string, int> repeats;  // per program
  for (const fs::path& file : files) {
    const kit::record::Record record =
        kit::record::read_record(test_support::read_file(file), file.filename().string());
    EXPECT_TRUE(record.complete()) << file;
    for (analysis::Measurement& m : analysis::recorded_run(record, repeats[record.program]++).measurements) {
      set.add(std::move(m));
    }
  }
  return set;
}

}  // namespace fixtures
