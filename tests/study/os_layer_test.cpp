// The tools' operating-system layer (study/os/) on its own, where every
// layer keeps the same word: files and their errors, program files, a
// folder a program cannot enter, the executable's folder, the memory budget,
// the UTC offset and the study lock. What each system does its own way is
// tested in
// os_layer_posix_test.cpp and os_layer_windows_test.cpp.
#include "os_layer_test.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.hpp"
#include "stand_in_programs.hpp"
#include "study/os/clock.hpp"
#include "study/os/executable_folder.hpp"
#include "study/os/files.hpp"
#include "study/os/program.hpp"
#include "study/os/study_lock.hpp"
#include "study/os/tool_error.hpp"
#include "study/run/memory_budget.hpp"
#include "support/test_support.hpp"

namespace {

namespace fs = std::filesystem;
using namespace os_layer_test;
using study_tests::built;

TEST(OsFiles, WriteReplaceAndReadBackWithTheirErrors) {
  test_support::ScratchDirectory scratch;
  {
    study::os::OutputFile file(scratch.path() / "new");
    ASSERT_TRUE(file.is_open());
    EXPECT_EQ(file.write("some "), 0);
    EXPECT_EQ(file.write(std::string(100000, 'x')), 0);
    EXPECT_EQ(file.close(), 0);
    EXPECT_FALSE(file.is_open());
  }
  EXPECT_EQ(study::os::replace_file(scratch.path() / "new", scratch.path() / "old"), 0);
  EXPECT_FALSE(fs::exists(scratch.path() / "new"));
  EXPECT_EQ(study::os::read_file(scratch.path() / "old").text, "some " + std::string(100000, 'x'));
  const study::os::FileContent limited = study::os::read_file(scratch.path() / "old", 1000);
  EXPECT_FALSE(limited.text.has_value());
  EXPECT_TRUE(limited.too_large);

  // A second replace takes the place of the file the first one made.
  study::os::OutputFile("newer").write("newer");
  EXPECT_EQ(study::os::replace_file(scratch.path() / "newer", scratch.path() / "old"), 0);
  EXPECT_EQ(study::os::read_file(scratch.path() / "old").text, "newer");

  fs::create_directory(scratch.path() / "folder");
  const study::os::OutputFile folder(scratch.path() / "folder");
  EXPECT_FALSE(folder.is_open());
  EXPECT_EQ(study::error_text(folder.open_error()), "is a directory");
  EXPECT_EQ(study::os::read_file(scratch.path() / "folder").error, EISDIR);
  EXPECT_EQ(study::os::read_file(scratch.path() / "missing").error, ENOENT);
  EXPECT_EQ(study::os::replace_file(scratch.path() / "missing", scratch.path() / "old"), ENOENT);
  EXPECT_EQ(study::os::replace_file(scratch.path() / "old", scratch.path() / "folder"), EISDIR);
  EXPECT_TRUE(fs::exists(scratch.path() / "old"));
  EXPECT_EQ(study::os::OutputFile(scratch.path() / "missing" / "file").open_error(), ENOENT);
}

TEST(OsFiles, ReadsAFileInBlocksInOrderUntilToldToStop) {
  test_support::ScratchDirectory scratch;
  std::string content;
  for (int i = 0; i < 10000; ++i) content += static_cast<char>('a' + i % 26);
  study::os::OutputFile(scratch.path() / "file").write(content);
  std::string joined;
  std::size_t largest = 0;
  EXPECT_EQ(study::os::read_blocks(scratch.path() / "file", 4096,
                                   [&](std::string_view block) {
                                     joined += block;
                                     largest = std::max(largest, block.size());
                                     return true;
                                   }),
            0);
  EXPECT_EQ(joined, content);
  EXPECT_LE(largest, 4096u);

  int blocks = 0;
  EXPECT_EQ(study::os::read_blocks(scratch.path() / "file", 1000, [&](std::string_view) { return ++blocks < 3; }), 0);
  EXPECT_EQ(blocks, 3);
  EXPECT_EQ(study::os::read_blocks(scratch.path() / "missing", 1000, [](std::string_view) { return true; }), ENOENT);
}

TEST(OsProgram, ProgramFilesAreNamedAsTheSystemNamesThem) {
  test_support::ScratchDirectory scratch;
  const fs::path program = study::os::program_file(scratch.path(), "tallygrid");
  EXPECT_EQ(program.parent_path(), scratch.path());
  EXPECT_EQ(program.filename().string(), kLayer == "windows" ? "tallygrid.exe" : "tallygrid");
  EXPECT_TRUE(study::os::can_start(built(OS_PROBE_PATH)));
  EXPECT_FALSE(study::os::can_start(program));
}

TEST(OsProgram, AFolderThatCannotBeEnteredIsTheProgramsFailure) {
  const Finished finished = run_to_end({built(OS_PROBE_PATH), {"sleep"}, {}, "/nonexistent/folder"});
  EXPECT_EQ(finished.output, "study: cannot prepare the program's folder or streams\r\n");
  EXPECT_TRUE(finished.end.exited);
  EXPECT_EQ(finished.end.exit_status, 127);
}

TEST(OsExecutableFolder, IsTheFolderOfTheToolFromItsOwnPath) {
  const fs::path own = fs::canonical(fs::path(built(STUDY_PATH)).parent_path());  // the tests' folder too
  EXPECT_EQ(study::os::executable_folder(built(STUDY_PATH).c_str()), own);
}

TEST(OsMemory, AGivenLimitDecidesWhenItIsTheLeast) {
  const study::MemoryBudget budget = study::available_memory(1000);
  EXPECT_EQ(budget.bytes, 1000);
  EXPECT_EQ(budget.source, "--memory-limit");
  const study::MemoryBudget found = study::available_memory(std::nullopt);
  EXPECT_GT(found.bytes, 1000);
  EXPECT_NE(found.source, "--memory-limit");
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t days_from_civil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto of_era = static_cast<unsigned>(year - era * 400);
  const unsigned of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned of_era_days = of_era * 365 + of_era / 4 - of_era / 100 + of_year;
  return era * 146097 + static_cast<std::int64_t>(of_era_days) - 719468;
}

TEST(OsClock, TheUtcOffsetIsTheLocalTimeLessTheTimeItself) {
  // Midwinter and midsummer, so a zone with daylight saving time shows both its offsets.
  for (const std::time_t time : {std::time_t{1'705'320'000}, std::time_t{1'720'958'400}, std::time(nullptr)}) {
    const std::tm local = study::os::local_time(time);
    const std::int64_t local_seconds = days_from_civil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                                                       static_cast<unsigned>(local.tm_mday)) *
                                           86400 +
                                       local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    const std::int64_t minutes = (local_seconds - time) / 60;
    const std::string offset = study::os::utc_offset(time);
    ASSERT_EQ(offset.size(), 5u) << offset;
    EXPECT_EQ(offset[0], minutes < 0 ? '-' : '+') << offset;
    EXPECT_EQ(std::stoi(offset.substr(1, 2)) * 60 + std::stoi(offset.substr(3, 2)), std::abs(minutes)) << offset;
  }
}

// What `study_os_probe lock` says: its own number, then the holders it saw.
std::vector<std::uint64_t> numbers_after(const std::string& line, const std::string& word) {
  std::istringstream words(line.substr(line.find(word) + word.size()));
  std::vector<std::uint64_t> numbers;
  for (std::uint64_t number = 0; words >> number;) numbers.push_back(number);
  return numbers;
}

TEST(OsStudyLock, EachHolderSeesTheOthersByNumberUntilTheyDieHoweverTheyDie) {
  test_support::ScratchDirectory scratch;
  const fs::path folder = scratch.path() / "locks";
  const std::uint64_t own = study::os::process_id();
  const study::os::StudyLock lock(folder);
  ASSERT_EQ(lock.failure(), "");
  EXPECT_TRUE(fs::exists(folder / study::os::lock_file_name(own)));
  EXPECT_TRUE(lock.other_holders().empty());

  study_tests::ChildProcess holder({built(OS_PROBE_PATH), "lock", folder.string()}, scratch.path());
  ASSERT_TRUE(holder.read_until("\n")) << holder.output();
  const std::vector<std::uint64_t> pid = numbers_after(holder.output(), "pid ");
  ASSERT_FALSE(pid.empty()) << holder.output();
  EXPECT_EQ(numbers_after(holder.output(), "holders"), std::vector<std::uint64_t>{own}) << holder.output();
  EXPECT_EQ(lock.other_holders(), std::vector<std::uint64_t>{pid.front()});

  // Killed, it cannot let go itself: the system does.
  study_tests::end_from_outside(pid.front());
  holder.finish();
  EXPECT_TRUE(lock.other_holders().empty());
}

TEST(OsStudyLock, FilesWithoutALiveHolderAndOtherFilesAreNoStudies) {
  test_support::ScratchDirectory scratch;
  const fs::path folder = scratch.path() / "locks";
  fs::path own;
  {
    const study::os::StudyLock lock(folder);
    ASSERT_EQ(lock.failure(), "");
    own = folder / study::os::lock_file_name(study::os::process_id());
    // A study killed before it could remove its file, and files that name no process.
    for (const char* name : {"4000000001.lock", "notes.txt", "x.lock", ".lock", "12.lock.old"}) {
      study_tests::write_text(folder / name, "");
    }
    EXPECT_TRUE(lock.other_holders().empty());
  }
  EXPECT_FALSE(fs::exists(own)) << "a study that ends removes its own file";
  EXPECT_TRUE(fs::exists(folder / "4000000001.lock"));
}

TEST(OsStudyLock, AFolderThatCannotBeMadeLeavesNoLockAndNoError) {
  test_support::ScratchDirectory scratch;
  study_tests::write_text(scratch.path() / "file", "");
  const study::os::StudyLock lock(scratch.path() / "file" / "locks");
  EXPECT_NE(lock.failure(), "");
  EXPECT_NE(lock.failure().find("locks"), std::string::npos) << lock.failure();
  EXPECT_TRUE(lock.other_holders().empty());
}

TEST(OsStudyLock, LockFilesAreNamedByTheirProcess) {
  EXPECT_EQ(study::os::lock_file_name(1234), "1234.lock");
  EXPECT_EQ(study::os::lock_file_holder("1234.lock"), 1234u);
  for (const char* name : {"1234", "1234.lck", ".lock", "12a.lock", "-3.lock", "1234.lock.old"}) {
    EXPECT_FALSE(study::os::lock_file_holder(name).has_value()) << name;
  }
}

}  // namespace
