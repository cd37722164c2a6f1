// The Win32 layer's own parts: Windows codes as the report's numbers,
// pipes and standard handles, the wall clock's readings of local dates,
// and pages put in place before a sort first writes them.
#include <gtest/gtest.h>
// clang-format off
#include <windows.h>
#include <psapi.h>  // after <windows.h>, whose types it uses
// clang-format on

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "kit/os/clocks.hpp"
#include "kit/os/files.hpp"
#include "kit/os/memory.hpp"
#include "kit/os/process.hpp"
#include "kit/os/windows/error_numbers.hpp"
#include "kit/os/windows/wall_clock.hpp"
#include "support/test_support.hpp"

namespace {

namespace os = kit::os;

os::File as_file(HANDLE handle) { return os::File{reinterpret_cast<std::intptr_t>(handle)}; }

// ---- error numbers and files ---------------------------------------------------

TEST(KitOsErrorNumbers, KeepsWindowsCodesExceptWhereTheReportsTableNamesTheFailure) {
  using kit::os::windows::report_error_number;
  EXPECT_EQ(report_error_number(ERROR_FILE_NOT_FOUND), 2);
  EXPECT_EQ(report_error_number(ERROR_PATH_NOT_FOUND), 3);
  EXPECT_EQ(report_error_number(ERROR_DIRECTORY), 3);
  for (DWORD refused : {ERROR_ACCESS_DENIED, ERROR_WRITE_PROTECT, ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION}) {
    EXPECT_EQ(report_error_number(refused), 5) << refused;
  }
  EXPECT_EQ(report_error_number(ERROR_INVALID_HANDLE), 9);
  EXPECT_EQ(report_error_number(ERROR_DISK_FULL), 28);
  EXPECT_EQ(report_error_number(ERROR_HANDLE_DISK_FULL), 28);
  EXPECT_EQ(report_error_number(ERROR_BROKEN_PIPE), 32);
  EXPECT_EQ(report_error_number(ERROR_NO_DATA), 32);
  EXPECT_EQ(report_error_number(ERROR_INVALID_NAME), 123) << "any other code as Windows gives it";
}

TEST(KitOsFiles, AFileHeldWithoutSharingIsRefusedAccess) {
  test_support::ScratchDirectory scratch;
  const HANDLE held = CreateFileW(L"held.out", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(os::create_for_writing("held.out").error, 5);
  EXPECT_EQ(os::open_for_reading("held.out").error, 5);
  CloseHandle(held);
}

TEST(KitOsFiles, APipeEndsForTheReaderWhenItsWriterHasGoneAndFailsTheWriterWhenItsReaderHas) {
  HANDLE reader = nullptr;
  HANDLE writer = nullptr;
  ASSERT_TRUE(CreatePipe(&reader, &writer, nullptr, 0));
  EXPECT_EQ(os::write_all(as_file(writer), "ab", 2), 0);
  EXPECT_EQ(os::close(as_file(writer)), 0);
  char got[4] = {};
  const os::ReadOutcome first = os::read(as_file(reader), got, sizeof got);
  EXPECT_EQ(first.error, 0);
  EXPECT_EQ(std::string(got, first.bytes), "ab");
  const os::ReadOutcome end = os::read(as_file(reader), got, sizeof got);
  EXPECT_EQ(end.bytes, 0u);
  EXPECT_EQ(end.error, 0) << "the end of a pipe is the end of the input, not a failure";
  os::close(as_file(reader));

  ASSERT_TRUE(CreatePipe(&reader, &writer, nullptr, 0));
  CloseHandle(reader);
  EXPECT_EQ(os::write_all(as_file(writer), "ab", 2), 32);
  os::close(as_file(writer));
}

// Puts `replacement` in a standard slot for the object's life.
class StandardSlot {
 public:
  StandardSlot(DWORD which, HANDLE replacement) : which_(which), saved_(GetStdHandle(which)) {
    SetStdHandle(which, replacement);
  }
  ~StandardSlot() { SetStdHandle(which_, saved_); }
  StandardSlot(const StandardSlot&) = delete;
  StandardSlot& operator=(const StandardSlot&) = delete;

 private:
  DWORD which_;
  HANDLE saved_;
};

TEST(KitOsStandardStreams, AProcessStartedWithoutAStreamHasNoFileThere) {
  const StandardSlot none(STD_OUTPUT_HANDLE, nullptr);
  EXPECT_EQ(os::standard_output(), os::kNoFile);
  EXPECT_EQ(os::write_all(os::standard_output(), "x", 1), 9);
}

TEST(KitOsStandardStreams, AClosedHandleIsDroppedFromItsSlotAndAnOpenOneKept) {
  test_support::ScratchDirectory scratch;
  const HANDLE open = CreateFileW(L"open.out", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  const HANDLE closed = CreateFileW(L"closed.out", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  ASSERT_NE(closed, INVALID_HANDLE_VALUE);
  CloseHandle(closed);
  {
    const StandardSlot output(STD_OUTPUT_HANDLE, closed);
    const StandardSlot error(STD_ERROR_HANDLE, open);
    os::occupy_closed_standard_streams();
    EXPECT_EQ(GetStdHandle(STD_OUTPUT_HANDLE), nullptr) << "a later file could get the closed handle's value";
    EXPECT_EQ(GetStdHandle(STD_ERROR_HANDLE), open);
  }
  CloseHandle(open);
}

// ---- clocks -------------------------------------------------------------------

SYSTEMTIME local_date(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD millisecond) {
  SYSTEMTIME time{};
  time.wYear = year;
  time.wMonth = month;
  time.wDay = day;
  time.wHour = hour;
  time.wMinute = minute;
  time.wSecond = second;
  time.wMilliseconds = millisecond;
  return time;
}

// Days since 1970-01-01 by the standard library's calendar.
std::int64_t calendar_days(int year, unsigned month, unsigned day) {
  using namespace std::chrono;
  return sys_days{std::chrono::year{year} / std::chrono::month{month} / std::chrono::day{day}}
      .time_since_epoch()
      .count();
}

TEST(KitOsClocks, WallReadingsCountCalendarDaysAndSecondsSince1970) {
  using os::windows::wall_reading;
  const struct {
    int year;
    unsigned month, day;
  } dates[] = {{1970, 1, 1}, {1999, 12, 31}, {2000, 2, 29}, {2000, 3, 1}, {2024, 2, 29},
               {2024, 3, 1}, {2100, 2, 28},  {2100, 3, 1},  {2038, 1, 19}};
  for (const auto& date : dates) {
    const os::ClockReading reading = wall_reading(local_date(
        static_cast<WORD>(date.year), static_cast<WORD>(date.month), static_cast<WORD>(date.day), 13, 14, 15, 167));
    EXPECT_EQ(reading.seconds, calendar_days(date.year, date.month, date.day) * 86400 + 13 * 3600 + 14 * 60 + 15)
        << date.year << "-" << date.month << "-" << date.day;
    EXPECT_EQ(reading.nanoseconds, 167000000);
  }
}

TEST(KitOsClocks, LocalTimeTakesTheReadingsTimeOfDayApartAgain) {
  const os::LocalTime local = os::local_time(os::windows::wall_reading(local_date(2024, 12, 31, 23, 59, 58, 999)));
  EXPECT_EQ(local.hour, 23);
  EXPECT_EQ(local.minute, 59);
  EXPECT_EQ(local.second, 58);
  EXPECT_EQ(local.millisecond, 999);
  // Across the year's end, the difference of two readings is the time between them.
  const os::ClockReading before = os::windows::wall_reading(local_date(2024, 12, 31, 23, 59, 59, 995));
  const os::ClockReading after = os::windows::wall_reading(local_date(2025, 1, 1, 0, 0, 0, 5));
  EXPECT_EQ(os::nanoseconds_between(before, after), 10000000);
}

std::int64_t milliseconds_of_day(const os::LocalTime& time) {
  return ((time.hour * 60 + time.minute) * 60 + time.second) * 1000 + time.millisecond;
}

// The system's UTC turned into local time the other way, through the time
// zone's rules: a clock read as UTC, or a date taken apart wrongly, differs.
TEST(KitOsClocks, WallClockReadsTheLocalTimeOfDay) {
  SYSTEMTIME utc{};
  GetSystemTime(&utc);
  const os::LocalTime wall = os::local_time(os::read_wall_clock());
  SYSTEMTIME local{};
  ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local));
  const std::int64_t apart =
      (milliseconds_of_day(wall) -
       milliseconds_of_day({local.wHour, local.wMinute, local.wSecond, local.wMilliseconds}) + 86400000) %
      86400000;
  EXPECT_TRUE(apart <= 1000 || apart >= 86400000 - 1000) << apart << " ms apart";
}

TEST(KitOsClocks, ThePreciseClockIsTheNamedOneAndSplitsItsReadingsIntoWholeSeconds) {
  EXPECT_STREQ(os::precise_clock_name(), "QueryPerformanceCounter");
  for (int i = 0; i < 1000; ++i) {
    const os::ClockReading reading = os::read_precise_clock();
    ASSERT_GE(reading.nanoseconds, 0);
    ASSERT_LT(reading.nanoseconds, 1000000000);
  }
}

// ---- memory -------------------------------------------------------------------

// A fresh committed block between two reserved pages that no access may
// touch: a write past either end of the block stops the test at once.
class KitOsFreshPages : public ::testing::Test {
 protected:
  static constexpr std::size_t kPages = 512;

  void SetUp() override {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    page_ = info.dwPageSize;
    mapping_ = static_cast<char*>(VirtualAlloc(nullptr, (kPages + 2) * page_, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_NE(mapping_, nullptr);
    ASSERT_NE(VirtualAlloc(first_page(), kPages * page_, MEM_COMMIT, PAGE_READWRITE), nullptr);
  }
  void TearDown() override { VirtualFree(mapping_, 0, MEM_RELEASE); }

  char* first_page() const { return mapping_ + page_; }

  // How many pages of the block the process has in its working set.
  std::size_t resident_pages() const {
    std::vector<PSAPI_WORKING_SET_EX_INFORMATION> pages(kPages);
    for (std::size_t i = 0; i < kPages; ++i) pages[i].VirtualAddress = first_page() + i * page_;
    if (!QueryWorkingSetEx(GetCurrentProcess(), pages.data(),
                           static_cast<DWORD>(pages.size() * sizeof(PSAPI_WORKING_SET_EX_INFORMATION)))) {
      return 0;
    }
    std::size_t resident = 0;
    for (const auto& page : pages) resident += page.VirtualAttributes.Valid;
    return resident;
  }

  std::size_t page_ = 0;
  char* mapping_ = nullptr;
};

TEST_F(KitOsFreshPages, PrefaultPutsEveryPageOfTheBlockInPlace) {
  ASSERT_EQ(resident_pages(), 0u) << "committed pages are set up at their first touch";
  // The block starts inside its first page and ends where the pages end.
  char* const block = first_page() + 100;
  const std::size_t bytes = kPages * page_ - 100;
  os::prefault_zeroed(block, bytes);
  EXPECT_EQ(resident_pages(), kPages);
  for (std::size_t at = 0; at < bytes; at += 997) ASSERT_EQ(block[at], 0) << at;
  ASSERT_EQ(block[bytes - 1], 0);
}

TEST_F(KitOsFreshPages, PrefaultOfAnEmptyOrOneByteBlockTouchesNothingOutsideIt) {
  char* const guard = first_page() + kPages * page_;
  os::prefault_zeroed(guard, 0);
  os::prefault_zeroed(guard - 1, 1);
  EXPECT_EQ(guard[-1], 0);
  EXPECT_EQ(resident_pages(), 1u);
}

}  // namespace
