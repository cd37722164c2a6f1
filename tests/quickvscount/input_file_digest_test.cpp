// vstup.in as the study keeps it after a run: only its hash, which the run's
// seed must reproduce. MAKEFILE with a seed writes the same bytes every time,
// and the study's hash of the file is the one sha256sum gives.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "kit/file_names.hpp"
#include "quickvscount/input_file.hpp"
#include "study/run/input_digest.hpp"
#include "support/test_support.hpp"

namespace {

namespace fs = std::filesystem;

// A scaled-down table with full and partial value lines and ranges from 1 to the largest.
constexpr std::array<std::int32_t, 4> kCounts{2500, 1000, 7, 1};
constexpr std::array<std::int32_t, 4> kRanges{10, 20'000'000, 3, 1};
constexpr quickvscount::InputTable kTable{kCounts, kRanges};
constexpr std::uint32_t kSeed = 4242;

// `sha256sum vstup.in` of MAKEFILE(kTable, kSeed). Should MAKEFILE ever write
// other bytes for a seed, the hashes kept by earlier runs no longer match
// their regenerated files: this fails first.
constexpr const char* kSha256sum = "591b856e9631f7babcab0b06e6d5a19ad9587e48cb3e9f10ed4e60ca8584f6dc";

std::string written(std::uint32_t seed) {
  quickvscount::MAKEFILE(kTable, seed);
  return test_support::read_file(kit::kInputFileName);
}

TEST(InputFileDigest, TheSameSeedWritesTheSameBytesThatTheStudyHashesAsSha256sumDoes) {
  test_support::ScratchDirectory scratch;
  const std::string first = written(kSeed);
  const std::string again = written(kSeed);
  EXPECT_EQ(first, again);
  EXPECT_NE(written(kSeed + 1), first);

  written(kSeed);
  const study::FileDigest digest = study::file_digest(kit::kInputFileName);
  EXPECT_EQ(digest.bytes, static_cast<std::int64_t>(first.size()));
  EXPECT_EQ(digest.sha256, kSha256sum);
}

}  // namespace
