// Reading a program's precise record (record.csv in its folder) back into
// the measurements of one run, and the seed a recorded run used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "analysis/records/measurement.hpp"

namespace study {

// The record's file name inside a program's folder.
inline constexpr const char* kRecordFileName = "record.csv";

struct RecordedRun {
  std::string program;
  std::uint32_t seed = 0;
  std::size_t windows = 0;  // the windows the run meant to measure
  std::vector<analysis::Measurement> measurements;

  // Every window the run meant to measure is in the record.
  bool all_windows() const { return windows > 0 && measurements.size() == windows; }
};

// The run recorded in `text` as repeat `repeat`. Throws ToolError naming
// `source` and the line when the text is not a record.
RecordedRun parse_record(const std::string& text, int repeat, const std::string& source);

// The record at `path`; nullopt when there is none. Throws ToolError when
// it cannot be read or is not a record.
std::optional<RecordedRun> read_record(const std::filesystem::path& path, int repeat);

}  // namespace study
