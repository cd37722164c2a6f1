// The clocks on Win32: GetLocalTime for the stopwatch, as the programs are
// defined, QueryPerformanceCounter for the record, GetTickCount for the seed.
#include "kit/os/clocks.hpp"

#include <windows.h>

#include "kit/os/windows/wall_clock.hpp"

namespace kit::os {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
constexpr std::int64_t days_since_1970(std::int64_t year, std::int64_t month, std::int64_t day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t year_of_era = year - era * 400;
  const std::int64_t day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

// Ticks per second of the performance counter: fixed at system start.
std::int64_t counter_frequency() {
  static const std::int64_t frequency = [] {
    LARGE_INTEGER value{};
    QueryPerformanceFrequency(&value);
    return value.QuadPart;
  }();
  return frequency;
}

}  // namespace

namespace windows {

ClockReading wall_reading(const SYSTEMTIME& local) {
  const std::int64_t days = days_since_1970(local.wYear, local.wMonth, local.wDay);
  return {.seconds = days * kSecondsPerDay + local.wHour * 3600 + local.wMinute * 60 + local.wSecond,
          .nanoseconds = local.wMilliseconds * std::int64_t{1000000}};
}

}  // namespace windows

ClockReading read_wall_clock() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return windows::wall_reading(now);
}

LocalTime local_time(const ClockReading& wall_reading) {
  const std::int64_t of_day = (wall_reading.seconds % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
  return {.hour = static_cast<std::uint16_t>(of_day / 3600),
          .minute = static_cast<std::uint16_t>(of_day / 60 % 60),
          .second = static_cast<std::uint16_t>(of_day % 60),
          .millisecond = static_cast<std::uint16_t>(wall_reading.nanoseconds / 1000000)};
}

// The counter's ticks split into seconds and nanoseconds, as clock_gettime
// splits its own count elsewhere; the product stays within 64 bits for any
// frequency up to 9 GHz.
ClockReading read_precise_clock() {
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  const std::int64_t frequency = counter_frequency();
  return {.seconds = now.QuadPart / frequency, .nanoseconds = now.QuadPart % frequency * 1000000000 / frequency};
}

const char* precise_clock_name() { return "QueryPerformanceCounter"; }

std::uint32_t tick_count() { return GetTickCount(); }

}  // namespace kit::os
