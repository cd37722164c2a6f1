// The POSIX layers' own parts: errno values as the report's numbers, the
// wall clock read through the time zone, and pages put in place before a
// sort first writes them.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

#include "kit/os/clocks.hpp"
#include "kit/os/memory.hpp"
#include "kit/os/posix_common/error_numbers.hpp"
#include "support/test_support.hpp"

namespace {

namespace os = kit::os;

// ---- error numbers ------------------------------------------------------------

TEST(KitOsErrorNumbers, MapsPosixCodesToTheReportsNumbers) {
  using kit::os::posix_common::report_error_number;
  EXPECT_EQ(report_error_number(ENOENT), 2);
  EXPECT_EQ(report_error_number(ENOTDIR), 3);
  for (int refused : {EACCES, EPERM, EROFS, EISDIR}) EXPECT_EQ(report_error_number(refused), 5) << refused;
  EXPECT_EQ(report_error_number(EBADF), 9);
  EXPECT_EQ(report_error_number(ENOSPC), 28);
  EXPECT_EQ(report_error_number(EPIPE), 32);
}

// ---- clocks -------------------------------------------------------------------

// Seconds since local midnight, from a LocalTime.
std::int64_t seconds_of_day(const os::LocalTime& time) { return time.hour * 3600 + time.minute * 60 + time.second; }

TEST(KitOsClocks, WallClockReadsAsTheTimeOfDayOfTheSystemClock) {
  test_support::use_utc();
  const auto system_now = std::chrono::system_clock::now();
  const os::ClockReading wall = os::read_wall_clock();
  const auto since_epoch = std::chrono::duration_cast<std::chrono::seconds>(system_now.time_since_epoch()).count();
  const os::LocalTime local = os::local_time(wall);
  // One second apart at most, midnight included.
  const std::int64_t apart = (seconds_of_day(local) - since_epoch % 86400 + 86400) % 86400;
  EXPECT_TRUE(apart <= 1 || apart == 86399) << apart;
  EXPECT_EQ(local.millisecond, wall.nanoseconds / 1000000);
}

TEST(KitOsClocks, LocalTimeFollowsTheTimeZone) {
  // Two and a half hours east of UTC (POSIX writes the offset west of it).
  setenv("TZ", "EAST-02:30", 1);
  tzset();
  const os::LocalTime local = os::local_time({.seconds = 86400 * 365 + 3600 + 7, .nanoseconds = 999999999});
  test_support::use_utc();
  EXPECT_EQ(local.hour, 3);
  EXPECT_EQ(local.minute, 30);
  EXPECT_EQ(local.second, 7);
  EXPECT_EQ(local.millisecond, 999);
}

// ---- memory -------------------------------------------------------------------

long minor_faults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

// A fresh block between two inaccessible pages: a write past either end of
// the block stops the test at once.
class KitOsFreshPages : public ::testing::Test {
 protected:
  static constexpr std::size_t kPages = 512;

  void SetUp() override {
    page_ = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    void* mapped = mmap(nullptr, (kPages + 2) * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(mapped, MAP_FAILED);
    mapping_ = static_cast<char*>(mapped);
#ifdef MADV_NOHUGEPAGE
    // One fault of a huge page would put hundreds of pages in place at once.
    madvise(mapping_, (kPages + 2) * page_, MADV_NOHUGEPAGE);
#endif
    mprotect(mapping_, page_, PROT_NONE);
    mprotect(mapping_ + (kPages + 1) * page_, page_, PROT_NONE);
  }
  void TearDown() override { munmap(mapping_, (kPages + 2) * page_); }

  char* first_page() const { return mapping_ + page_; }

  std::size_t page_ = 0;
  char* mapping_ = nullptr;
};

TEST_F(KitOsFreshPages, PrefaultLeavesNoFaultForTheFirstWriteOfAnyWholePage) {
  if (test_support::under_emulator()) {
    GTEST_SKIP()
        << "qemu-user takes the advice to fault pages in and does nothing; its own faults are not the program's";
  }
  // The block starts inside its first page and ends where the pages end.
  char* const block = first_page() + 100;
  const std::size_t bytes = kPages * page_ - 100;
  os::prefault_zeroed(block, bytes);

  for (std::size_t at = 0; at < bytes; at += 997) ASSERT_EQ(block[at], 0) << at;
  ASSERT_EQ(block[bytes - 1], 0);
  const long before = minor_faults();
  for (std::size_t page = 1; page < kPages; ++page) first_page()[page * page_] = 1;
  const long faults = minor_faults() - before;
  // A page merely read in, or left alone, faults here once each.
  EXPECT_LT(faults, 8) << "of " << kPages - 1 << " pages";
}

TEST_F(KitOsFreshPages, PrefaultOfAnEmptyOrOneByteBlockTouchesNothingOutsideIt) {
  char* const guard = first_page() + kPages * page_;
  os::prefault_zeroed(guard, 0);
  os::prefault_zeroed(guard - 1, 1);
  EXPECT_EQ(guard[-1], 0);
}

}  // namespace
