// The input file a program writes into its folder and reads back
// (tallyduel's vstup.in, 145 MB): the run's seed regenerates it byte for
// byte, so after a complete run the study keeps only its size and SHA-256,
// in vstup.in.sha256 beside it, and removes it. A run that failed or was
// stopped keeps it as evidence.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "study/model/study_run.hpp"

namespace study {

// Blocks of this size stream a file through the hash without holding it whole.
inline constexpr std::size_t kDigestBlockBytes = std::size_t{1} << 20;

struct FileDigest {
  std::int64_t bytes = 0;
  std::string sha256;  // 64 lower-case hexadecimal digits
};

// Throws ToolError, "cannot read PATH: REASON", when the file cannot be read.
FileDigest file_digest(const std::filesystem::path& path);

// The hash file's text: the line sha256sum writes ("HASH  vstup.in"), so
// that `sha256sum -c` checks a regenerated copy, then comment lines (which
// sha256sum skips) with the size and, when known, the seed that regenerates it.
std::string input_digest_text(const FileDigest& digest, std::string_view program, std::optional<std::uint32_t> seed);

// After a complete run of `program` in `folder`: nothing when it left no
// input file there; else its hash, written to the hash file, and unless
// `keep` the file removed. Never throws: a failure keeps the file and says why.
std::optional<InputFileNote> settle_input_file(const std::filesystem::path& folder, std::string_view program,
                                               bool keep);

}  // namespace study
