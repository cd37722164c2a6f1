#include "study/run/input_digest.hpp"

#include <fmt/format.h>

#include "analysis/text/sha256.hpp"
#include "analysis/text/text_format.hpp"
#include "kit/file_names.hpp"
#include "kit/run_environment.hpp"
#include "study/model/record_file.hpp"
#include "study/model/run_folder_layout.hpp"
#include "study/os/files.hpp"
#include "study/os/output_files.hpp"
#include "study/os/tool_error.hpp"

namespace study {
namespace {

// The seed of the run, from the record the program kept; none without one.
std::optional<std::uint32_t> recorded_seed(const std::filesystem::path& folder) {
  try {
    const std::optional<analysis::RecordedRun> record = read_record(folder / run_files::kRecordFile, 1);
    if (record) return record->seed;
  } catch (const ToolError&) {
    // The record's own reader reports it when the records are analysed.
  }
  return std::nullopt;
}

}  // namespace

FileDigest file_digest(const std::filesystem::path& path) {
  analysis::Sha256 hash;
  const int error = os::read_blocks(path, kDigestBlockBytes, [&](std::string_view block) {
    hash.add(block);
    return true;
  });
  if (error != 0) fail_on_file("read", path, error);
  return {static_cast<std::int64_t>(hash.bytes_added()), hash.hex_digest()};
}

std::string input_digest_text(const FileDigest& digest, std::string_view program, std::optional<std::uint32_t> seed) {
  std::string text = fmt::format("{}  {}\n", digest.sha256, kit::kInputFileName);
  text +=
      fmt::format("# {} wrote {}: {} bytes.\n", program, kit::kInputFileName, analysis::with_thousands(digest.bytes));
  const std::string seed_text = seed ? std::to_string(*seed) : fmt::format("<seed from {}>", run_files::kRecordFile);
  text += fmt::format("# {}={} {} in an empty folder writes it again; sha256sum -c {} checks it.\n", kit::kSeedVariable,
                      seed_text, program, run_files::kInputDigestFile);
  return text;
}

std::optional<InputFileNote> settle_input_file(const std::filesystem::path& folder, std::string_view program,
                                               bool keep) {
  const std::filesystem::path input = folder / kit::kInputFileName;
  std::error_code error;
  if (!std::filesystem::is_regular_file(input, error)) return std::nullopt;
  InputFileNote note;
  try {
    const FileDigest digest = file_digest(input);
    note.bytes = digest.bytes;
    note.sha256 = digest.sha256;
    write_file_atomically(folder / run_files::kInputDigestFile,
                          input_digest_text(digest, program, recorded_seed(folder)));
  } catch (const ToolError& failure) {
    // Without its hash on disk the file is the only trace of its content: it stays.
    note.failure = failure.what();
    return note;
  }
  if (keep) return note;
  std::filesystem::remove(input, error);
  if (error) {
    note.failure = fmt::format("cannot remove {}: {}", input.string(), error_text(error.value()));
  } else {
    note.removed = true;
  }
  return note;
}

}  // namespace study
