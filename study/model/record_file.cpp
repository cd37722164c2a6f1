#include "study/model/record_file.hpp"

#include "kit/record/record_reader.hpp"
#include "study/os/output_files.hpp"
#include "study/os/tool_error.hpp"

namespace study {

std::optional<analysis::RecordedRun> read_record(const std::filesystem::path& path, int repeat) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return std::nullopt;
  const FileText text = read_whole_file(path);
  if (!text.text) fail_on_file("read", path, text.error);
  try {
    return analysis::recorded_run(kit::record::read_record(*text.text, path.string()), repeat);
  } catch (const kit::record::RecordError& fault) {
    throw ToolError(fault.what());
  }
}

}  // namespace study
