// A program's precise record as the measurements of one run: every window
// with its place, the sort it timed, its two figures and its evidence. Records written
// before they named their kernels take the kernel from the program's facts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/records/measurement.hpp"
#include "kit/record/record_reader.hpp"

namespace analysis {

struct RecordedRun {
  std::string program;
  std::uint32_t seed = 0;
  std::size_t windows = 0;  // the windows the run meant to measure
  std::vector<Measurement> measurements;

  // Every window the run meant to measure is in the record.
  bool all_windows() const { return windows > 0 && measurements.size() == windows; }
};

// The record's windows as measurements of run `repeat`.
RecordedRun recorded_run(const kit::record::Record& record, int repeat);

}  // namespace analysis
