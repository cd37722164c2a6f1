// What the evidence of the POSIX layers shares: the thread's CPU clock and
// the switches getrusage counts. The layers differ in whose switches they can
// ask for and in the counters beyond these.
#pragma once

#include <cstdint>

namespace kit::os::posix_common {

// The calling thread's CPU time in nanoseconds.
std::int64_t thread_cpu_nanoseconds();

// The involuntary context switches getrusage counts for `who`
// (RUSAGE_THREAD, or RUSAGE_SELF where a system has no other).
std::int64_t involuntary_switches(int who);

}  // namespace kit::os::posix_common
