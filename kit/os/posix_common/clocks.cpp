#include "kit/os/posix_common/clocks.hpp"

#include "kit/os/clocks.hpp"

namespace kit::os {

// Both reads hand back the timespec as it is; turning it into anything else
// waits until the stopwatch's window has closed.
ClockReading read_wall_clock() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return {.seconds = now.tv_sec, .nanoseconds = now.tv_nsec};
}

ClockReading read_precise_clock() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return {.seconds = now.tv_sec, .nanoseconds = now.tv_nsec};
}

const char* precise_clock_name() { return "CLOCK_MONOTONIC"; }

LocalTime local_time(const ClockReading& wall_reading) {
  const auto seconds = static_cast<time_t>(wall_reading.seconds);
  tm local{};
  localtime_r(&seconds, &local);
  return {.hour = static_cast<std::uint16_t>(local.tm_hour),
          .minute = static_cast<std::uint16_t>(local.tm_min),
          .second = static_cast<std::uint16_t>(local.tm_sec),
          .millisecond = static_cast<std::uint16_t>(wall_reading.nanoseconds / 1000000)};
}

namespace posix_common {

std::uint32_t milliseconds_on(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  const auto milliseconds =
      static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(milliseconds);
}

}  // namespace posix_common
}  // namespace kit::os
