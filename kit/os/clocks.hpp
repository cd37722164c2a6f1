// The clocks of a run: the wall clock the stopwatch reads as a local time of
// day, the precise clock of a run that keeps a record, and the tick count
// that seeds a run.
#pragma once

#include <cstdint>

namespace kit::os {

// One reading of a clock: whole seconds on the clock's own scale and the
// nanoseconds past them. Readings are taken inside timed windows, so reading
// does nothing more than the system call; only differences of two readings of
// one clock, and the local time of a wall-clock reading, mean anything.
// A plain pair like the system's own (ClockReading{} is zero): with default
// member initialisers, g++ 12 compiles the stopwatch's window differently.
struct ClockReading {
  std::int64_t seconds;
  std::int64_t nanoseconds;
};

constexpr std::int64_t nanoseconds_between(const ClockReading& before, const ClockReading& after) {
  return (after.seconds - before.seconds) * 1000000000 + (after.nanoseconds - before.nanoseconds);
}

// The wall clock, not a monotonic one: the stopwatch's cells are differences
// of local times of day, and local_time turns a reading into one.
ClockReading read_wall_clock();

// A local time of day to the millisecond. `second` is 60 in a leap second
// where the system reports one.
struct LocalTime {
  std::uint16_t hour = 0;         // 0..23
  std::uint16_t minute = 0;       // 0..59
  std::uint16_t second = 0;       // 0..60
  std::uint16_t millisecond = 0;  // 0..999
};

// The local time of day of a reading of read_wall_clock, in the time zone of
// the process.
LocalTime local_time(const ClockReading& wall_reading);

// The precise clock of a run that keeps a record: monotonic, never set back,
// to the nanosecond where the system can.
ClockReading read_precise_clock();

// The precise clock's name, as the record of a run shows it.
const char* precise_clock_name();

// Milliseconds since the system started, truncated to 32 bits.
std::uint32_t tick_count();

}  // namespace kit::os
