// Tests every program of the suite shares: the failures that stop the real
// program before any measurement. A test program includes this header once
// and instantiates the suite with its programs' names, e.g.
//   INSTANTIATE_TEST_SUITE_P(Cutoff, ProgramStoppingEarly,
//                            ::testing::Values("cutoffwide", "cutoffnarrow"), program_name);
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "support/run_program.hpp"
#include "support/runtime_error_report.hpp"
#include "support/sibling_program.hpp"
#include "support/test_support.hpp"

namespace test_support {

class ProgramStoppingEarly : public ::testing::TestWithParam<const char*> {
 protected:
  ProgramResult run(std::optional<long> address_space = std::nullopt) {
    ProgramRun child;
    child.program = sibling_program(GetParam());
    child.directory = scratch_.path();
    child.address_space_bytes = address_space;
    return run_program(child);
  }
  ScratchDirectory scratch_;
};

TEST_P(ProgramStoppingEarly, WithErrorFiveWhenTheResultsFileCannotBeCreated) {
  std::filesystem::create_directory(scratch_.path() / "vystup.out");
  const auto result = run();
  EXPECT_EQ(result.exit_status, 5);
  EXPECT_TRUE(is_runtime_error_report(result.output, 5, {GetParam()})) << result.output;
}

// The results file made read-only beforehand; true when this user may
// still write it (root may, and Wine run as root takes the read-only
// attribute from the file's permissions).
inline bool read_only_file_stays_writable(const std::filesystem::path& file) {
  std::ofstream{file};
  std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
  return std::ofstream(file, std::ios::app).is_open();
}

TEST_P(ProgramStoppingEarly, WithErrorFiveWhenTheResultsFileIsReadOnly) {
  const std::filesystem::path file = scratch_.path() / "vystup.out";
  const bool writable = read_only_file_stays_writable(file);
  const ProgramResult result = writable ? ProgramResult{} : run();
  // Windows deletes no read-only file, the scratch folder's removal included.
  std::filesystem::permissions(file, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
  if (writable) GTEST_SKIP() << "this user may write read-only files";
  EXPECT_EQ(result.exit_status, 5);
  EXPECT_TRUE(is_runtime_error_report(result.output, 5, {GetParam()})) << result.output;
}

TEST_P(ProgramStoppingEarly, WithErrorTwelveAndNoFileWhenItsArraysAreRefused) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer needs more address space than the limit leaves";
#endif
  if (!memory_limits_hold()) GTEST_SKIP() << "the system does not hold a program to a memory limit (Wine)";
  const auto result = run(256L << 20);
  EXPECT_EQ(result.exit_status, 12);
  EXPECT_TRUE(is_runtime_error_report(result.output, 12, {GetParam()})) << result.output;
  EXPECT_TRUE(std::filesystem::is_empty(scratch_.path())) << "no file may be created";
}

TEST_P(ProgramStoppingEarly, RefusesAMalformedSeedBeforeCreatingAnyFile) {
  for (const char* seed : {"abc", "", "-1", "4294967296", "7 "}) {
    ProgramRun child;
    child.program = sibling_program(GetParam());
    child.directory = scratch_.path();
    child.streams.standard_error = scratch_.path().string() + ".err";  // beside the folder, which must stay empty
    child.environment = {{"SORTBENCH_SEED", seed}, {"SORTBENCH_RECORD", "record.csv"}};
    const auto result = run_program(child);
    EXPECT_EQ(result.exit_status, 1) << seed;
    EXPECT_EQ(result.output, "") << seed;
    EXPECT_EQ(read_file(child.streams.standard_error), std::string(GetParam()) +
                                                           ": SORTBENCH_SEED must be a decimal number from 0 to "
                                                           "4294967295, not \"" +
                                                           seed + "\"\r\n");
    std::filesystem::remove(child.streams.standard_error);
    EXPECT_TRUE(std::filesystem::is_empty(scratch_.path())) << "no file may be created";
  }
}

TEST_P(ProgramStoppingEarly, WithTheMissingFolderErrorWhenTheRecordCannotBeCreated) {
  ProgramRun child;
  child.program = sibling_program(GetParam());
  child.directory = scratch_.path();
  child.environment = {{"SORTBENCH_SEED", "1"}, {"SORTBENCH_RECORD", "missing/record.csv"}};
  const auto result = run_program(child);
  EXPECT_EQ(result.exit_status, kErrorOfAMissingFolder);
  EXPECT_TRUE(is_runtime_error_report(result.output, kErrorOfAMissingFolder, {"SORTBENCH_RECORD", GetParam()}))
      << result.output;
  EXPECT_TRUE(std::filesystem::exists(scratch_.path() / "vystup.out")) << "created before the record";
  EXPECT_EQ(std::filesystem::file_size(scratch_.path() / "vystup.out"), 0u);
}

inline std::string program_name(const ::testing::TestParamInfo<const char*>& info) { return info.param; }

}  // namespace test_support
