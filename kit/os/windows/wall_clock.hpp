// How the Windows layer keeps a reading of the wall clock.
#pragma once

#include <windows.h>

#include "kit/os/clocks.hpp"

namespace kit::os::windows {

// The local date and time GetLocalTime reports, as whole seconds since
// 1970-01-01 00:00 of the local calendar and the milliseconds as
// nanoseconds. The time zone is applied when the clock is read, so
// local_time only takes the time of day apart again, and the difference of
// two readings spans midnights and month ends correctly.
ClockReading wall_reading(const SYSTEMTIME& local);

}  // namespace kit::os::windows
